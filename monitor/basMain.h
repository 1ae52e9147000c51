#pragma once
// Start-up, shut-down and the start-up error report: the program prepares everything in
// Main and then lives on window events and timers until ShutDown ends it.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "monitor/basProcessing.h"
#include "ui/main/frmMain.h"

namespace corvale {

extern bool ShuttingDown;

// "Error <number> : <description>"; the routine's name is not part of it.
std::string ErrorReportText(uint32_t number, std::string_view description);
void ReportError(std::string_view routine, uint32_t number, std::string_view description);

// The time of day in seconds since midnight.
float TimeOfDay();

class CorvaleProgram : public MainWindowActions, public CheckCycleHost {
public:
    CorvaleProgram();
    ~CorvaleProgram() override;

    // The start-up, for the program file at `modulePath`. False when it failed (reported,
    // and no window is left on screen): the program then ends.
    bool Main(const std::string& modulePath);
    // Runs once; later calls return at once. Ends the program through EndProgram.
    void ShutDown() override;

    frmMain& MainWindow() { return form_; }
    // How the program ends at the last step of ShutDown (the process exits; tests put
    // their own in). The clock the shut-down wait reads, likewise.
    std::function<void()> EndProgram;
    std::function<float()> Clock;

    // MainWindowActions.
    void OpenPreferences(int16_t page) override;
    void RefreshTile(int index) override;
    void CheckTimerTick() override;
    void ShowPopupMenu() override;
    bool ConfirmExit() override;

    // CheckCycleHost.
    void SetSiteURL(int site, std::string_view url) override;
    void SetPingValue(int site, std::string_view text) override;
    void SetPingNumeric(int site, int32_t roundTripMs) override;
    void SetSquareColour(int site, uint32_t colour) override;
    void LetEventsRun() override;
    float Now() override;
    // A balloon on the tray icon, unless the user turned the notices off.
    void ShowNotice(std::string_view text) override;

private:
    bool HasTile(int site) { return site >= 0 && site < form_.SiteStatCount(); }
    frmMain form_;
};

}  // namespace corvale
