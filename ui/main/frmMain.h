#pragma once
// The main window: borderless and self-drawn, a caption strip with the check-now button,
// the caption and a tool box, a column of site tiles and a bottom bar with image buttons;
// in mini mode only the caption strip with one status square per site. It carries the
// check timer, keeps the notification-area icon and can be dragged by any surface. It opens
// where it was left, and lays itself out again at the scale of a monitor it is moved to.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "monitor/OverallState.h"
#include "monitor/ProgramModel.h"
#include "ui/base/ControlInput.h"
#include "ui/base/GdiHandles.h"
#include "ui/base/Window.h"
#include "ui/main/ImageBox.h"
#include "ui/main/MainLayout.h"
#include "ui/main/TrayIcon.h"
#include "ui/main/WindowPlace.h"
#include "ui/tiles/ctlSiteStat.h"

namespace corvale {

// What the window asks of the rest of the program.
class MainWindowActions {
public:
    virtual ~MainWindowActions() = default;
    virtual void OpenPreferences(int16_t page) = 0;
    virtual void ShutDown() = 0;
    virtual void RefreshTile(int index) = 0;
    // A tick of the check timer.
    virtual void CheckTimerTick() = 0;
    // The check-now button: the next round starts at once.
    virtual void CheckNow() = 0;
    // The mode switch, stored at once (a folder that cannot take it is told, and the mode
    // switches anyway).
    virtual void StoreMiniMode(bool on) = 0;
    // Where the window was left, in desktop twips at the system's scale, as last stored; and
    // a new place to store.
    virtual std::optional<std::pair<int32_t, int32_t>> StoredWindowPlace() = 0;
    virtual void StoreWindowPlace(int32_t left, int32_t top) = 0;
    // The right button was released over the window: the preferences' popup menu; over site
    // `site`'s tile or square (-1: over no site), with the site's history in it too.
    virtual void ShowPopupMenu(int site = -1) = 0;
    // Site `site`'s history, in its window.
    virtual void OpenHistory(int site) = 0;
    // "&Exit" asks first; true to go on.
    virtual bool ConfirmExit() = 0;
    // The tray menu's mute item: alerts muted for an hour, or no longer.
    virtual void ToggleMute() {}
    // What a test of the web hook brought back, handed to the window from the sender's thread.
    virtual void WebHookOutcome(std::string_view /*outcome*/) {}
    // The computer is about to sleep, and has woken up (each as the system tells it).
    virtual void ComputerSuspending() {}
    virtual void ComputerResumed() {}
};

class frmMain : public Window {
public:
    static constexpr const char* kClassName = "CorvaleMain";
    // Our own message for the icon's events, not a mouse message: a click on the icon
    // must never look like a move over the window, which would drag it.
    static constexpr UINT kTrayMessage = WM_APP + 1;
    // A web hook's outcome from the sender's thread: lParam holds a std::string the window frees.
    static constexpr UINT kWebHookOutcomeMessage = WM_APP + 2;
    static constexpr UINT kTrayIconId = 1;
    static constexpr UINT_PTR kCheckTimerId = 1;
    static constexpr UINT_PTR kTrayRetryTimerId = 2;
    static constexpr UINT kCheckTimerInterval = kCheckTickMs;
    static constexpr int kSnapTolerance = 150;
    static constexpr UINT kMenuRestore = TrayIcon::kRestoreCommand;
    static constexpr UINT kMenuExit = TrayIcon::kExitCommand;
    static constexpr UINT kMenuHistory = TrayIcon::kHistoryCommand;
    static constexpr UINT kMenuMute = TrayIcon::kMuteCommand;

    // The window shows what `model` holds and asks `actions` for every change.
    frmMain(MainWindowActions& actions, const ProgramModel& model);
    ~frmMain() override;

    // The message that asks the window to come forward, shown and restored (a later start
    // of the program from the same folder sends it).
    static UINT ShowRequestMessage();

    // Creates the window and runs its load: tray icon (which shows the window), layout,
    // translucency. False when the window could not be made.
    bool Load();

    void ResizeWindow();
    void FormToolBoxClick(int16_t Button, float X, float Y, std::string_view sFrom);
    void EnterMiniMode();
    void LeaveMiniMode();

    // The control arrays: element 0 exists from the load on, the others once made.
    int SiteStatCount() const { return static_cast<int>(siteStat_.size()); }
    ctlSiteStat& SiteStat(int index) { return *siteStat_[static_cast<std::size_t>(index)]; }
    int picSiteCount() const { return static_cast<int>(picSite_.size()); }
    ImageBox& picSite(int index) { return *picSite_[static_cast<std::size_t>(index)]; }
    // Makes tile / square `index` when it does not exist yet (index is at most one past the last).
    ctlSiteStat& LoadSiteStat(int index);
    ImageBox& LoadPicSite(int index);
    ImageBox& barBottom() { return *barBottom_; }
    ImageBox& toolBoxMin() { return *toolBoxMin_; }
    ImageBox& toolBoxMax() { return *toolBoxMax_; }
    bool CaptionVisible() const { return captionVisible_; }

    // tmrCheckThread.
    void SetCheckTimerEnabled(bool enabled);
    // The running check timer's next tick comes after `ms` (it is enabled at 20 ms); with
    // the timer off, nothing.
    void SetCheckTimerDelay(UINT ms);
    bool CheckTimerEnabled() const { return checkTimerOn_; }

    // Geometry in twips of the window's scale, as the window system has it now.
    float LeftTwips() const;
    float TopTwips() const;
    float WidthTwips() const;
    float HeightTwips() const;

    // Dragging and snapping.
    void MoveForm();
    void Snap(frmMain& oMe, int32_t iSnapTolerance);
    // The window's place into monitor.ini, where the next start opens it.
    void StorePosition();

    // The notification-area icon: TrayOn shows the window and adds the icon (tried again
    // until the shell takes it); TrayOff, the first step of the shut-down, takes it away
    // for good.
    void TrayOn();
    void TrayOff();
    bool TrayIconAdded() const { return tray_.Shown(); }
    TrayIcon& Tray() { return tray_; }
    const TrayIcon& Tray() const { return tray_; }
    bool ShowBalloon(std::string_view title, std::string_view text) { return tray_.ShowBalloon(title, text); }
    // The state of the whole list on the icon: its mark and its tip, which reach the shell
    // only when the state changed.
    void ShowOverallState(const OverallState& state);
    HICON WindowIcon() const { return smallIcon_.Get(); }
    // The menu's items.
    void mnuRestore_Click();
    void mnuHistory_Click();
    void mnuexit_Click();

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;
    void CreateControls();
    // The artwork and the caption's font at the window's scale.
    void LoadArtwork();
    // A notice of a new scale: the suggested place, and everything laid out again.
    void OnDpiChanged(const RECT& suggested);
    void WireSurface(ImageBox& box, const char* from, bool clicks, bool popup);
    // Every surface's mouse move: drag (only with the left button held), then snap.
    void SurfaceMouseMove(int16_t buttonsHeld);
    void ShowPopupMenu(int16_t button, int site = -1);
    // The window background's own mouse events (the caption, the space between surfaces).
    bool OnMouse(const MouseEvent& event) override;
    bool InCaptionLabel(float x, float y) const;
    void SizeWindow(float widthTwips, float heightTwips);
    // Where the window was left, while a monitor still shows it (frmMainBehaviour.cpp).
    std::optional<OpeningPlace> StoredPlace() const;
    void OnTrayMessage(WPARAM wParam, LPARAM lParam);
    // Shown, restored and in front: a click on the icon, or a later start of the program.
    void ShowAndRestore();
    void ApplyTranslucency();

    MainWindowActions& actions_;
    const ProgramModel& model_;
    Bitmap captionImage_;
    Bitmap bottomBarImage_;
    Bitmap toolBoxNormalImage_;
    Bitmap toolBoxMiniImage_;
    Font captionFont_;
    Icon largeIcon_;
    Icon smallIcon_;

    std::unique_ptr<ImageBox> barBottom_;
    std::unique_ptr<ImageBox> toolBoxMin_;
    std::unique_ptr<ImageBox> toolBoxMax_;
    std::vector<std::unique_ptr<ctlSiteStat>> siteStat_;
    std::vector<std::unique_ptr<ImageBox>> picSite_;
    bool captionVisible_ = true;

    bool checkTimerOn_ = false;
    UINT checkTimerDelay_ = kCheckTimerInterval;
    bool backgroundPressed_ = false;

    TrayIcon tray_{kTrayIconId, kTrayMessage, kTrayRetryTimerId};
    Icon stateIcon_;  // the icon with the state's mark, while the shell shows it
    std::optional<OverallState> shownState_;
    UINT taskbarCreatedMessage_ = 0;
    UINT showRequestMessage_ = 0;
};

}  // namespace corvale
