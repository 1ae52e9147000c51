#include "monitor/basMain.h"

#include <windows.h>
#include <shellapi.h>

#include "monitor/AppFolder.h"
#include "monitor/Conversions.h"
#include "monitor/LogFolder.h"
#include "monitor/UserTexts.h"
#include "monitor/WideText.h"
#include "ui/base/MessagePump.h"
#include "ui/main/basTransparent.h"
#include "ui/prefs/clsRegistry.h"

namespace corvale {
namespace {

constexpr uint64_t kShutDownWaitMs = 10000;
constexpr const char* kExitQuestion = "Are you sure you want to exit?";
constexpr int16_t kSitesPage = 1;

}  // namespace

std::string ErrorReportText(uint32_t number, std::string_view description) {
    if (number == ERROR_SUCCESS) number = static_cast<uint32_t>(E_FAIL);
    return "Error " + std::to_string(number) + " : " + std::string(description);
}

float TimeOfDay() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return static_cast<float>(t.wHour * 3600 + t.wMinute * 60 + t.wSecond) + static_cast<float>(t.wMilliseconds) / 1000.0f;
}

double AwakeSeconds() {
    ULONGLONG hundredNanoseconds = 0;
    QueryUnbiasedInterruptTime(&hundredNanoseconds);
    return static_cast<double>(hundredNanoseconds) / 1e7;
}

std::string ShortTimeNow() {
    wchar_t text[64] = {};
    if (!GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, text, 64)) return {};
    return Narrow(text);
}

void OpenDocument(const std::string& target) {
    ShellExecuteW(nullptr, L"Open", Widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

CorvaleProgram::CorvaleProgram() {
    EndProgram = [] { ExitProcess(0); };
    Clock = &corvale::TimeOfDay;
    AwakeClock = &corvale::AwakeSeconds;
    TickCount = &GetTickCount64;
    RouteReader = &ReadDefaultRoute;
    model_.AddObserver(*this);
}

CorvaleProgram::~CorvaleProgram() = default;

void CorvaleProgram::ShowUserMessage(std::string_view text) {
    if (MessageSink) MessageSink(text);
    else ShowMessageBox(text);
}

void CorvaleProgram::ReportError(std::string_view /*routine*/, uint32_t number, std::string_view description) {
    ShowUserMessage(ErrorReportText(number, description));
}

bool CorvaleProgram::Main(const std::string& modulePath) {
    const std::string appFolder = AppFolderFromModulePath(modulePath);
    store_ = std::make_unique<SettingsStore>(appFolder, [this](std::string_view text) { ShowUserMessage(text); });
    firstRun_ = !FileExists(appFolder + kIniFileName) && !FileExists(appFolder + kSitesFileName);
    ProgramSettings settings = store_->Load();
    // The start-with-Windows entry follows the file, where the entry is this program's.
    clsRegistry(appFolder).ApplyStoredStartup(settings.Startup);
    const std::string logFolder = appFolder + kLogFolderName + "\\";
    model_.Start(std::move(settings), std::make_unique<LogFolder>(logFolder), logFolder);

    // The first start binds the library, from the program's folder only. Each step that
    // can fail starts from a clear error, so the one reported is that step's own.
    EngineBindError error;
    SetLastError(ERROR_SUCCESS);
    if (!model_.Engine().Bind(appFolder, &error)) {
        ReportError("Main", error.code, error.description);
        return false;
    }
    model_.Engine().EngineStartDll();  // a failed start only means no request is ever accepted

    SetLastError(ERROR_SUCCESS);
    if (!form_.Load()) {
        ReportError("Main", GetLastError(), "The main window could not be created");
        return false;
    }
    tiles_.BuildTiles();
    ShowOverallState();
    if (model_.SiteLast() >= 0) form_.SetCheckTimerEnabled(true);
    ShowWindow(form_.hWnd(), SW_SHOW);
    return true;
}

void CorvaleProgram::GreetFirstRun() {
    if (firstRun_ && form_.hWnd()) OpenPreferences(kSitesPage);
}

void CorvaleProgram::ShutDown() {
    if (shuttingDown_) return;
    shuttingDown_ = true;
    // From here on every step is attempted, whatever the one before did. No new exchange
    // starts while the program is ending, however the shut-down began.
    form_.SetCheckTimerEnabled(false);
    form_.TrayOff();
    if (form_.hWnd()) ShowWindow(form_.hWnd(), SW_HIDE);
    history_.Close();
    // The dialog's own modal loop, if it is up, ends once this returns to it.
    if (options_) options_->Unload();

    // The worker is, as a rule, idle when it is stopped: wait for an outstanding request.
    // Its bound runs on a monotonic clock: the time of day may jump (midnight, a clock change).
    const uint64_t t0 = TickCount();
    bool idle = false;
    for (;;) {
        if (!model_.EngineBusy()) {
            idle = true;
            break;
        }
        Sleep(10);
        LetWindowEventsRun();
        if (TickCount() - t0 >= kShutDownWaitMs) break;
    }
    // A worker still inside a hung exchange is not waited for: the process ends around it.
    if (idle) model_.Engine().EngineStopDll();
    // The rows of the round under way, which no round's end will write now.
    model_.FlushLog();
    if (idle) Sleep(500);
    tiles_.ReleaseTooltips();
    if (EndProgram) EndProgram();
}

frmOptions& CorvaleProgram::LoadPreferences() {
    if (!options_) options_ = std::make_unique<frmOptions>(*this);
    return *options_;
}

void CorvaleProgram::OpenPreferences(int16_t page) {
    if (shuttingDown_ || (options_ && options_->IsOpen())) return;
    // A modal dialog opened among the events a check step lets run would hold that step,
    // and with it the check cycle, until the dialog closed.
    if (model_.CheckBusy()) {
        deferredPage_ = page;
        return;
    }
    LoadPreferences().Show(page, model_.Settings());
    // Save and Cancel unload it: the next opening loads it afresh.
    options_.reset();
}

void CorvaleProgram::ShowPopupMenu(int site) {
    if (shuttingDown_ || (options_ && options_->IsOpen())) return;
    const bool onSite = site >= 0 && site <= model_.SiteLast();
    const std::string history = onSite ? HistoryMenuText(model_.Sites()[static_cast<std::size_t>(site)]) : "";
    switch (LoadPreferences().ShowPopupMenu(form_.hWnd(), history)) {
    case frmOptions::PopupChoice::Preferences: OpenPreferences(0); break;
    case frmOptions::PopupChoice::Second: OpenHistory(site); break;
    case frmOptions::PopupChoice::None: break;
    }
}

void CorvaleProgram::OpenHistory(int site) {
    if (!shuttingDown_) history_.Open(site, form_.hWnd());
}

void CorvaleProgram::CheckTimerTick() {
    model_.CheckTick();
    if (model_.CheckBusy()) return;
    if (Muted()) {
        alerts_.Tick(UnixMs(), TimeText());
        if (!Muted()) ToggledMute();
    }
    if (!logNews_.empty()) ShowUserMessage(std::exchange(logNews_, {}));
    if (deferredPage_) {
        const int16_t page = *deferredPage_;
        deferredPage_.reset();
        OpenPreferences(page);
    }
    form_.SetCheckTimerDelay(static_cast<UINT>(model_.NextTickDelayMs()));
}

void CorvaleProgram::WakeCheckTimer() { form_.SetCheckTimerDelay(frmMain::kCheckTimerInterval); }

void CorvaleProgram::StoreMiniMode(bool on) {
    store_->Store(kGeneralSection, kMiniModeKey, on ? "True" : "False", model_.Settings());
    model_.SetMiniMode(on);
}

std::optional<std::pair<int32_t, int32_t>> CorvaleProgram::StoredWindowPlace() {
    const std::string left = store_->Read(kWindowSection, kWindowLeftKey);
    const std::string top = store_->Read(kWindowSection, kWindowTopKey);
    if (left.empty() || top.empty()) return std::nullopt;
    return std::make_pair(SafeLong(left), SafeLong(top));
}

void CorvaleProgram::StoreWindowPlace(int32_t left, int32_t top) {
    if (StoredWindowPlace() == std::make_pair(left, top)) return;
    // A place the file cannot take is not worth a message: the window opens as for a first start.
    store_->Write(kWindowSection, kWindowLeftKey, std::to_string(left), model_.Settings());
    store_->Write(kWindowSection, kWindowTopKey, std::to_string(top), model_.Settings());
}

void CorvaleProgram::PreviewAlpha(int16_t alpha) { SetWindowAlpha(form_.hWnd(), alpha); }

void CorvaleProgram::SaveEdits(const ProgramSettings& edited) {
    form_.SetCheckTimerEnabled(false);
    ProgramSettings next = edited;
    // Nothing of the list was known: the file may be readable by now.
    if (next.SitesFileUnreadable)
        next.SitesText = ReadSitesFile(next.SitesPath, next.SitesFileUnreadable);
    // What is in memory is what the user confirmed: it stays in effect whether or not the
    // files can take it (the user is told when they cannot).
    model_.ApplyEdits(next);
    store_->Save(model_.Settings());
    if (model_.SiteLast() >= 0) form_.SetCheckTimerEnabled(true);
    WakeCheckTimer();
}

void CorvaleProgram::SitesRebuilt() {
    tiles_.BuildTiles();
    form_.ResizeWindow();
    history_.SitesChanged();
}

void CorvaleProgram::OpenDocument(const std::string& target) {
    if (OpenDocumentHook) OpenDocumentHook(target);
    else corvale::OpenDocument(target);
}

bool CorvaleProgram::SetNotifyOnChange(bool notify) {
    if (!store_->Store(kGeneralSection, kNotifyKey, notify ? "1" : "0", model_.Settings())) return false;
    model_.SetNotify(notify);
    return true;
}

bool CorvaleProgram::SetKeepLog(bool keep) {
    if (!store_->Store(kGeneralSection, kLogKey, keep ? "1" : "0", model_.Settings())) return false;
    model_.SetKeepLog(keep);
    return true;
}

bool CorvaleProgram::StoreStartup(int16_t stored) {
    if (!store_->Store(kGeneralSection, kStartupKey, std::to_string(stored), model_.Settings())) return false;
    model_.SetStartup(stored);
    return true;
}

void CorvaleProgram::ComputerResumed() {
    model_.ComputerResumed();
    WakeCheckTimer();
}

LocalTime CorvaleProgram::LocalNow() { return LocalTimeNow(); }

int64_t CorvaleProgram::UnixMs() { return UnixMsNow(); }

void CorvaleProgram::LetEventsRun() { LetWindowEventsRun(); }

void CorvaleProgram::Notice(const RoundNotice& notice) { alerts_.Deliver(notice, TimeText()); }

void CorvaleProgram::ShowOverallState() {
    OverallState state = model_.Overall();
    if (const auto until = alerts_.MutedUntil()) {
        const LocalTime end = ShiftedLocalTime(LocalNow(), (*until - UnixMs() + 999) / 1000);
        state.text += MutedTipSuffix(end.hour, end.minute);
    }
    form_.ShowOverallState(state);
}

void CorvaleProgram::ToggleMute() {
    if (Muted()) alerts_.Unmute(TimeText());
    else alerts_.Mute(UnixMs() + kMuteMs);
    ToggledMute();
}

void CorvaleProgram::ToggledMute() {
    form_.Tray().SetMuted(Muted());
    ShowOverallState();
}

void CorvaleProgram::TestWebHook(const std::string& url, const std::string& body) {
    // The outcome comes on the sender's thread: it is handed to the window, which frees it.
    alerts_.TestWebHook(url, body, TimeText(), [window = form_.hWnd()](const std::string& outcome) {
        auto text = std::make_unique<std::string>(outcome);
        if (PostMessageW(window, frmMain::kWebHookOutcomeMessage, 0, reinterpret_cast<LPARAM>(text.get())))
            text.release();
    });
}

void CorvaleProgram::WebHookOutcome(std::string_view outcome) {
    if (options_) options_->ShowWebHookOutcome(outcome);
}

void CorvaleProgram::LogTurnedOff(std::string_view folder) {
    // Off for the rest of the session, and at the next start too where the file can say so.
    store_->Write(kGeneralSection, kLogKey, "0", model_.Settings());
    if (options_) options_->ShowLogOff();
    logNews_ = LogFailureText(folder);
}

void CorvaleProgram::LogRowsDropped(std::string_view folder) {
    if (logNews_.empty()) logNews_ = LogRowsDroppedText(folder);
}

bool CorvaleProgram::ConfirmExit() {
    return MessageBoxA(form_.hWnd(), kExitQuestion, kProgramTitle, MB_OKCANCEL) == IDOK;
}

}  // namespace corvale
