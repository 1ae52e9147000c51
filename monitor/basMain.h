#pragma once
// Start-up, shut-down and the start-up error report: the program prepares everything in
// Main and then lives on window events and timers until ShutDown ends it.
//
// CorvaleProgram is the program: it owns the program object (the model: settings, sites,
// cycle, notices, log, engine binding), the settings file, and the windows that show the
// model (the main window with its tiles and tray icon, the preferences while they are up).
// It is the model's host and its observer, and what the windows ask for every change.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "monitor/AlertChannels.h"
#include "monitor/AppFolder.h"
#include "monitor/ProgramHistory.h"
#include "monitor/ProgramModel.h"
#include "monitor/SettingsStore.h"
#include "monitor/SiteTiles.h"
#include "ui/main/frmMain.h"
#include "ui/prefs/frmOptions.h"

namespace corvale {

// "Error <number> : <description>"; the routine's name is not part of it. A failure the
// system gave no number for shows E_FAIL ("unspecified"), never 0, which means success.
std::string ErrorReportText(uint32_t number, std::string_view description);

// The time of day in seconds since midnight.
float TimeOfDay();
// Seconds since the system started, without the time it slept.
double AwakeSeconds();
// The time of day as the user's clock shows it, without seconds ("14:02").
std::string ShortTimeNow();

// The shell's "Open" of a file or web address; the outcome is not checked.
void OpenDocument(const std::string& target);

class CorvaleProgram : public MainWindowActions,
                       public PreferencesHost,
                       private ModelHost,
                       private ModelObserver {
public:
    CorvaleProgram();
    ~CorvaleProgram() override;

    // The start-up, for the program file at `modulePath`. False when it failed (reported,
    // and no window is left on screen): the program then ends.
    bool Main(const std::string& modulePath);
    // After a start that found neither monitor.ini nor the site list (a first run), shows
    // the preferences on their "Sites" page, so the user sees where sites are added; returns
    // when they are closed. Any other start: nothing.
    void GreetFirstRun();
    bool FirstRun() const { return firstRun_; }
    // Runs once; later calls return at once. Ends the program through EndProgram.
    void ShutDown() override;
    bool ShuttingDown() const { return shuttingDown_; }
    void ReportError(std::string_view routine, uint32_t number, std::string_view description);

    // How the program ends at the last step of ShutDown (the process exits; tests put
    // their own in). The time of day the check rounds read, the clock that durations are
    // measured on, the monotonic milliseconds that bound the shut-down wait, the shell's
    // open, the messages to the user (message boxes) and the routing table, likewise.
    std::function<void()> EndProgram;
    std::function<float()> Clock;
    std::function<double()> AwakeClock;
    std::function<uint64_t()> TickCount;
    std::function<void(const std::string&)> OpenDocumentHook;
    UserMessageSink MessageSink;
    // The system's routing table, read when every site of a round failed.
    std::function<DefaultRoute(RouteFamily)> RouteReader;

    ProgramModel& Model() { return model_; }
    SettingsStore& Store() { return *store_; }
    SiteTiles& Tiles() { return tiles_; }
    // The preferences dialog while it is loaded (null otherwise), and the main window.
    frmOptions* Preferences() { return options_.get(); }
    frmMain& MainWindow() { return form_; }
    ProgramHistory& History() { return history_; }

    // MainWindowActions. OpenPreferences shows the dialog modally and returns when it is
    // closed; asked for while a check step is on the stack, it opens once the step is over.
    void OpenPreferences(int16_t page) override;
    void RefreshTile(int index) override { tiles_.RefreshTile(index); }
    void CheckTimerTick() override;
    void CheckNow() override { model_.CheckNow(); }
    void StoreMiniMode(bool on) override;
    std::optional<std::pair<int32_t, int32_t>> StoredWindowPlace() override;
    void StoreWindowPlace(int32_t left, int32_t top) override;
    // Over site `site`'s tile or square, the menu offers the site's history too.
    void ShowPopupMenu(int site = -1) override;
    void OpenHistory(int site) override;
    bool ConfirmExit() override;
    void ComputerSuspending() override { model_.ComputerSuspending(); }
    void ComputerResumed() override;
    void ToggleMute() override;
    void WebHookOutcome(std::string_view outcome) override;
    // Whether alerts are muted now.
    bool Muted() const { return alerts_.MutedUntil().has_value(); }

    // PreferencesHost.
    HWND OwnerWindow() override { return form_.hWnd(); }
    void PreviewAlpha(int16_t alpha) override;
    void SaveEdits(const ProgramSettings& edited) override;
    void OpenDocument(const std::string& target) override;
    bool SetNotifyOnChange(bool notify) override;
    bool SetKeepLog(bool keep) override;
    bool StoreStartup(int16_t stored) override;
    void TestWebHook(const std::string& url, const std::string& body) override;

private:
    // ModelHost.
    float TimeOfDay() override { return Clock(); }
    double AwakeSeconds() override { return AwakeClock(); }
    LocalTime LocalNow() override;
    int64_t UnixMs() override;
    std::string ShortTimeNow() override { return corvale::ShortTimeNow(); }
    void LetEventsRun() override;
    DefaultRoute DefaultRouteNow(RouteFamily family) override { return RouteReader(family); }

    // ModelObserver: what the model took in goes onto the windows.
    void SiteChecking(int site) override { tiles_.ShowChecking(site); }
    void SiteShown(int site) override {
        tiles_.RefreshTile(site);
        history_.ResultsArrived(site);
    }
    void SitesRebuilt() override;
    void OverallChanged(const OverallState&) override { ShowOverallState(); }
    void Notice(const RoundNotice& notice) override;
    void LogTurnedOff(std::string_view folder) override;
    void LogRowsDropped(std::string_view folder) override;

    frmOptions& LoadPreferences();
    // The check timer ticks again at once: a round is to start now, not when it woke next.
    void WakeCheckTimer();
    void ShowUserMessage(std::string_view text);
    // The state of the whole list on the tray icon, with the mute's end while muted.
    void ShowOverallState();
    // The mute began or ended: the tray's menu and tip say so.
    void ToggledMute();
    std::string TimeText() { return IsoLocalTime(LocalNow()); }

    ProgramModel model_{*this};
    std::unique_ptr<SettingsStore> store_;
    frmMain form_{*this, model_};
    SiteTiles tiles_{form_, model_};
    // Goes before the window its balloons and test outcomes reach.
    AlertChannels alerts_{model_, [this](std::string_view text) { form_.ShowBalloon(kProgramTitle, text); }};
    std::unique_ptr<frmOptions> options_;
    ProgramHistory history_{*this};
    std::optional<int16_t> deferredPage_;
    bool firstRun_ = false;
    bool shuttingDown_ = false;
    // What the log had to say, told once the check step is over.
    std::string logNews_;
};

}  // namespace corvale
