#include "monitor/basMain.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "monitor/AppFolder.h"
#include "monitor/OverallState.h"
#include "monitor/Settings.h"
#include "monitor/SettingsStore.h"
#include "monitor/SiteList.h"
#include "monitor/SiteTiles.h"
#include "monitor/UserTexts.h"
#include "monitor/basTarnel.h"
#include "ui/base/MessagePump.h"
#include "ui/base/WideText.h"
#include "ui/main/basTransparent.h"

namespace corvale {

bool ShuttingDown = false;

namespace {

constexpr uint64_t kShutDownWaitMs = 10000;
constexpr const char* kExitQuestion = "Are you sure you want to exit?";
constexpr int16_t kSitesPage = 1;

}  // namespace

std::string ErrorReportText(uint32_t number, std::string_view description) {
    if (number == ERROR_SUCCESS) number = static_cast<uint32_t>(E_FAIL);
    return "Error " + std::to_string(number) + " : " + std::string(description);
}

void ReportError(std::string_view /*routine*/, uint32_t number, std::string_view description) {
    ShowUserMessage(ErrorReportText(number, description));
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

CorvaleProgram::CorvaleProgram() : form_(*this) {
    EndProgram = [] { ExitProcess(0); };
    Clock = &TimeOfDay;
    AwakeClock = &AwakeSeconds;
    TickCount = &GetTickCount64;
}

CorvaleProgram::~CorvaleProgram() = default;

bool CorvaleProgram::Main(const std::string& modulePath) {
    AppFolder = AppFolderFromModulePath(modulePath);
    SitesPath = AppFolder + kSitesFileName;
    CheckInterval = 20;
    TransPerc = 100;
    firstRun_ = !FileExists(AppFolder + kIniFileName) && !FileExists(SitesPath);
    LoadSettings();
    logFolder_ = std::make_unique<LogFolder>(AppFolder + kLogFolderName + "\\");
    log_ = std::make_unique<ResultLog>(*logFolder_);
    logOn_ = corvale::KeepLog();

    // The first start binds the library, from the program's folder only. Each step that
    // can fail starts from a clear error, so the one reported is that step's own.
    EngineBindError error;
    SetLastError(ERROR_SUCCESS);
    if (!BindEngineLibrary(AppFolder, &error)) {
        ReportError("Main", error.code, error.description);
        return false;
    }
    EngineStartDll();  // a failed start only means no request is ever accepted

    SetLastError(ERROR_SUCCESS);
    if (!form_.Load()) {
        ReportError("Main", GetLastError(), "The main window could not be created");
        return false;
    }
    BuildSites();
    if (SiteLast >= 0) form_.SetCheckTimerEnabled(true);
    ShowWindow(form_.hWnd(), SW_SHOW);
    return true;
}

void CorvaleProgram::BuildSites() {
    const std::string now = ShortTimeNow();
    for (SiteRecord& site : Sites)
        if (site.StatsSince.empty()) site.StatsSince = now;
    BuildTiles(form_);
    ShowOverallState();
}

void CorvaleProgram::ShowOverallState() {
    std::vector<SiteSnapshot> sites;
    for (const SiteRecord& site : Sites) sites.push_back({site.Url, site.Checked, !site.NotResponding, site.PingMs});
    form_.ShowOverallState(SummariseSites(sites));
}

void CorvaleProgram::GreetFirstRun() {
    if (firstRun_ && form_.hWnd()) OpenPreferences(kSitesPage);
}

void CorvaleProgram::ShutDown() {
    if (ShuttingDown) return;
    ShuttingDown = true;
    // From here on every step is attempted, whatever the one before did. No new exchange
    // starts while the program is ending, however the shut-down began.
    form_.SetCheckTimerEnabled(false);
    form_.TrayOff();
    if (form_.hWnd()) ShowWindow(form_.hWnd(), SW_HIDE);
    // The dialog's own modal loop, if it is up, ends once this returns to it.
    if (options_) options_->Unload();

    // The worker is, as a rule, idle when it is stopped: wait for an outstanding request.
    // Its bound runs on a monotonic clock: the time of day may jump (midnight, a clock change).
    const uint64_t t0 = TickCount();
    for (;;) {
        std::string text;
        int32_t roundTripMs = 0, resultCode = 0;
        if (EnginePingCheck(text, roundTripMs, resultCode) != 1) break;
        Sleep(10);
        LetWindowEventsRun();
        if (TickCount() - t0 >= kShutDownWaitMs) break;
    }
    EngineStopDll();
    // The rows of the round under way, which no round's end will write now.
    if (log_) log_->Flush();
    Sleep(500);
    SiteTooltips.clear();
    if (EndProgram) EndProgram();
}

void OpenDocument(const std::string& target) {
    ShellExecuteW(nullptr, L"Open", Widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

frmOptions& CorvaleProgram::LoadPreferences() {
    if (!options_) options_ = std::make_unique<frmOptions>(*this);
    return *options_;
}

void CorvaleProgram::OpenPreferences(int16_t page) {
    if (ShuttingDown || (options_ && options_->IsOpen())) return;
    // A modal dialog opened among the events a check step lets run would hold that step,
    // and with it the check cycle, until the dialog closed.
    if (form_.CheckBusy()) {
        deferredPage_ = page;
        return;
    }
    LoadPreferences().Show(page);
    // Save and Cancel unload it: the next opening loads it afresh.
    options_.reset();
}

void CorvaleProgram::ShowPopupMenu() {
    if (ShuttingDown || (options_ && options_->IsOpen())) return;
    if (LoadPreferences().ShowPopupMenu(form_.hWnd())) OpenPreferences(0);
}

void CorvaleProgram::RefreshTile(int index) { corvale::RefreshTile(form_, index); }

void CorvaleProgram::CheckTimerTick() {
    CheckTick(*this, form_.CheckBusy());
    if (logFailureToTell_ && !form_.CheckBusy()) {
        logFailureToTell_ = false;
        ShowUserMessage(LogFailureText(logFolder_->Folder()));
    }
    if (deferredPage_ && !form_.CheckBusy()) {
        const int16_t page = *deferredPage_;
        deferredPage_.reset();
        OpenPreferences(page);
    }
    if (!form_.CheckBusy()) form_.SetCheckTimerDelay(static_cast<UINT>(CheckTickDelayMs(CheckCycle, Now(), CheckInterval)));
}

void CorvaleProgram::WakeCheckTimer() { form_.SetCheckTimerDelay(frmMain::kCheckTimerInterval); }

void CorvaleProgram::PreviewAlpha(int16_t alpha) { SetWindowAlpha(form_.hWnd(), alpha); }

void CorvaleProgram::PauseChecks() { form_.SetCheckTimerEnabled(false); }

void CorvaleProgram::ResumeChecks() {
    if (SiteLast >= 0) form_.SetCheckTimerEnabled(true);
    WakeCheckTimer();
}

void CorvaleProgram::ApplySavedSettings() {
    // Every tile takes the hues, also those left below the window from a longer list.
    for (int i = 0; i < form_.SiteStatCount(); ++i) {
        form_.SiteStat(i).SetBackHue(NormalHue);
        form_.SiteStat(i).SetBackHueError(ErrorHue);
    }
    // A request still under way belongs to the old table: its result is dropped, and
    // the next round starts at once with the new one.
    CheckCycle.Reset();
    WakeCheckTimer();
    BuildSites();
    form_.ResizeWindow();
}

void CorvaleProgram::OpenDocument(const std::string& target) {
    if (OpenDocumentHook) OpenDocumentHook(target);
    else corvale::OpenDocument(target);
}

bool CorvaleProgram::NotifyOnChange() { return corvale::NotifyOnChange(); }

bool CorvaleProgram::SetNotifyOnChange(bool notify) { return corvale::SetNotifyOnChange(notify); }

bool CorvaleProgram::SetKeepLog(bool keep) {
    if (!corvale::SetKeepLog(keep)) return false;
    // An outage seen before a pause of the log did not necessarily last through it.
    if (logOn_ && !keep) log_->ForgetOutages();
    logOn_ = keep;
    return true;
}

void CorvaleProgram::ComputerResumed() {
    if (resumeHandled_) return;
    resumeHandled_ = true;
    CheckCycle.Reset();
    WakeCheckTimer();
    SiteChangeNotices.Resumed();
    if (logOn_) log_->AddResume(LocalTimeNow());
}

void CorvaleProgram::ResultShown(int site) {
    const SiteRecord& record = Sites[static_cast<std::size_t>(site)];
    if (logOn_)
        log_->AddResult(LocalTimeNow(), AwakeTime(), record.Url, record.Address, !record.NotResponding,
                        record.PingMs, record.ResultCode);
    ShowOverallState();
}

void CorvaleProgram::RoundEnded() {
    if (!log_ || log_->Flush()) return;
    // Off for the rest of the session, and at the next start too where the file can say so.
    logOn_ = false;
    WriteIniValue(kGeneralSection, kLogKey, "0");
    logFailureToTell_ = true;
}

bool CorvaleProgram::ConfirmExit() {
    return MessageBoxA(form_.hWnd(), kExitQuestion, kProgramTitle, MB_OKCANCEL) == IDOK;
}

void CorvaleProgram::SetSiteURL(int site, std::string_view url) {
    if (HasTile(site)) form_.SiteStat(site).SetSiteURL(url);
}

void CorvaleProgram::SetPingValue(int site, std::string_view text) {
    if (HasTile(site)) form_.SiteStat(site).SetPingValue(text);
}

void CorvaleProgram::SetPingNumeric(int site, int32_t roundTripMs) {
    if (HasTile(site)) form_.SiteStat(site).SetPingNumeric(roundTripMs);
}

void CorvaleProgram::SetSquareColour(int site, uint32_t colour) {
    if (site >= 0 && site < form_.picSiteCount()) form_.picSite(site).SetBackColor(colour);
}

void CorvaleProgram::LetEventsRun() { LetWindowEventsRun(); }

float CorvaleProgram::Now() { return Clock(); }

void CorvaleProgram::ShowNotice(std::string_view text) {
    if (NotifyOnChange()) form_.ShowBalloon(kProgramTitle, text);
}

}  // namespace corvale
