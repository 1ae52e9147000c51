#pragma once
// Start-up, shut-down and the start-up error report: the program prepares everything in
// Main and then lives on window events and timers until ShutDown ends it.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "monitor/LogFolder.h"
#include "monitor/ResultLog.h"
#include "monitor/basProcessing.h"
#include "ui/main/frmMain.h"
#include "ui/prefs/frmOptions.h"

namespace corvale {

extern bool ShuttingDown;

// "Error <number> : <description>"; the routine's name is not part of it. A failure the
// system gave no number for shows E_FAIL ("unspecified"), never 0, which means success.
std::string ErrorReportText(uint32_t number, std::string_view description);
void ReportError(std::string_view routine, uint32_t number, std::string_view description);

// The time of day in seconds since midnight.
float TimeOfDay();
// Seconds since the system started, without the time it slept.
double AwakeSeconds();
// The time of day as the user's clock shows it, without seconds ("14:02").
std::string ShortTimeNow();

// The shell's "Open" of a file or web address; the outcome is not checked.
void OpenDocument(const std::string& target);

class CorvaleProgram : public MainWindowActions, public CheckCycleHost, public PreferencesHost {
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

    // How the program ends at the last step of ShutDown (the process exits; tests put
    // their own in). The time of day the check rounds read, the clock that durations are
    // measured on, the monotonic milliseconds that bound the shut-down wait, and the
    // shell's open, likewise.
    std::function<void()> EndProgram;
    std::function<float()> Clock;
    std::function<double()> AwakeClock;
    std::function<uint64_t()> TickCount;
    std::function<void(const std::string&)> OpenDocumentHook;

    // The preferences dialog while it is loaded (null otherwise), and the main window.
    frmOptions* Preferences() { return options_.get(); }
    frmMain& MainWindow() { return form_; }

    // MainWindowActions. OpenPreferences shows the dialog modally and returns when it is
    // closed; asked for while a check step is on the stack, it opens once the step is over.
    void OpenPreferences(int16_t page) override;
    void RefreshTile(int index) override;
    void CheckTimerTick() override;
    void ShowPopupMenu() override;
    bool ConfirmExit() override;
    // Windows tells a resume twice when the user comes back to a computer that woke on its
    // own; only the first after each suspend counts.
    void ComputerSuspending() override { resumeHandled_ = false; }
    // The round under way is abandoned (a result still owed is dropped), the change notices
    // keep quiet for a round, the log marks the gap, and the next round starts at once.
    void ComputerResumed() override;

    // CheckCycleHost.
    void SetSiteURL(int site, std::string_view url) override;
    void SetPingValue(int site, std::string_view text) override;
    void SetPingNumeric(int site, int32_t roundTripMs) override;
    void SetSquareColour(int site, uint32_t colour) override;
    void LetEventsRun() override;
    float Now() override;
    double AwakeTime() override { return AwakeClock(); }
    // The result goes to the log (while it is on) and into the tray icon's state.
    void ResultShown(int site) override;
    // A balloon on the tray icon, unless the user turned the notices off.
    void ShowNotice(std::string_view text) override;
    // The round's log rows are written.
    void RoundEnded() override;

    // PreferencesHost.
    HWND OwnerWindow() override { return form_.hWnd(); }
    void PreviewAlpha(int16_t alpha) override;
    void PauseChecks() override;
    void ResumeChecks() override;
    void ApplySavedSettings() override;
    void OpenDocument(const std::string& target) override;
    bool NotifyOnChange() override;
    bool SetNotifyOnChange(bool notify) override;
    bool KeepLog() override { return logOn_; }
    bool SetKeepLog(bool keep) override;

private:
    frmOptions& LoadPreferences();
    bool HasTile(int site) { return site >= 0 && site < form_.SiteStatCount(); }
    // The tiles for the site table; sites new to it start their statistics now.
    void BuildSites();
    void ShowOverallState();
    // The check timer ticks again at once: a round is to start now, not when it woke next.
    void WakeCheckTimer();
    frmMain form_;
    std::unique_ptr<frmOptions> options_;
    std::optional<int16_t> deferredPage_;
    bool firstRun_ = false;
    bool resumeHandled_ = false;

    std::unique_ptr<LogFolder> logFolder_;
    std::unique_ptr<ResultLog> log_;
    bool logOn_ = false;
    // The folder could not take the log: the user is told once the check step is over.
    bool logFailureToTell_ = false;
};

}  // namespace corvale
