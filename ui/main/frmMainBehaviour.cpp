// The main window's behaviour: dragging and edge snapping, translucency, the
// notification-area icon, its menu and its balloons.
#include <cstring>
#include <string>

#include "monitor/AppFolder.h"
#include "monitor/Settings.h"
#include "ui/base/MessagePump.h"
#include "ui/base/Twips.h"
#include "ui/main/Snap.h"
#include "ui/main/VersionInfo.h"
#include "ui/main/basTransparent.h"
#include "ui/main/frmMain.h"

namespace corvale {

void frmMain::MoveForm() {
    if (!hWnd()) return;
    ReleaseCapture();
    // The window system's own move loop, as on a title bar; it returns once dropped.
    SendMessageA(hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void frmMain::Snap(frmMain& oMe, int32_t iSnapTolerance) {
    HWND window = oMe.hWnd();
    if (!window) return;
    const WindowBounds now{oMe.LeftTwips(), oMe.TopTwips(), oMe.WidthTwips(), oMe.HeightTwips()};
    const float screenWidth = static_cast<float>(ScreenPixelsToTwips(GetSystemMetrics(SM_CXSCREEN)));
    const float screenHeight = static_cast<float>(ScreenPixelsToTwips(GetSystemMetrics(SM_CYSCREEN)));
    const WindowBounds snapped = SnapToScreen(now, screenWidth, screenHeight, iSnapTolerance);
    if (snapped.left == now.left && snapped.top == now.top) return;
    SetWindowPos(window, nullptr, TwipsToScreenPixels(snapped.left), TwipsToScreenPixels(snapped.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmMain::ApplyTranslucency() {
    if (TransPerc == 100) ClearWindowAlpha(hWnd());
    else SetWindowAlpha(hWnd(), TransPerc);
}

void frmMain::TrayOn() {
    ShowWindow(hWnd(), SW_SHOW);
    LetWindowEventsRun();

    trayIconData_ = {};
    trayIconData_.cbSize = sizeof trayIconData_;
    trayIconData_.hWnd = hWnd();
    trayIconData_.uID = 1;
    // The current version of the icon interface, in which the shell shows our tip only
    // when asked to and keeps balloons out of the user's quiet time.
    trayIconData_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    // Our own message, not a mouse message: a click on the icon must never look like a
    // move over the window, which would drag it.
    trayIconData_.uCallbackMessage = kTrayMessage;
    trayIconData_.hIcon = smallIcon_;
    const std::string& tip = ProgramVersionInfo().productName;
    strncpy(trayIconData_.szTip, tip.c_str(), sizeof trayIconData_.szTip - 1);
    trayAdded_ = Shell_NotifyIconA(NIM_ADD, &trayIconData_) != FALSE;
    trayIconData_.uVersion = NOTIFYICON_VERSION_4;
    if (trayAdded_) Shell_NotifyIconA(NIM_SETVERSION, &trayIconData_);
}

bool frmMain::ShowBalloon(std::string_view title, std::string_view text) {
    if (!trayAdded_) return false;
    balloonData_ = trayIconData_;
    balloonData_.uFlags = NIF_INFO | NIF_SHOWTIP;
    const std::string info(text.substr(0, sizeof balloonData_.szInfo - 1));
    const std::string infoTitle(title.substr(0, sizeof balloonData_.szInfoTitle - 1));
    strncpy(balloonData_.szInfo, info.c_str(), sizeof balloonData_.szInfo - 1);
    strncpy(balloonData_.szInfoTitle, infoTitle.c_str(), sizeof balloonData_.szInfoTitle - 1);
    balloonData_.dwInfoFlags = NIIF_INFO | NIIF_RESPECT_QUIET_TIME;
    balloonData_.uTimeout = kBalloonTimeoutMs;  // where the system does not choose it itself
    return Shell_NotifyIconA(NIM_MODIFY, &balloonData_) != FALSE;
}

void frmMain::TrayOff() {
    if (trayIconData_.cbSize) Shell_NotifyIconA(NIM_DELETE, &trayIconData_);
    trayAdded_ = false;
}

void frmMain::OnTrayMessage(UINT mouseMessage) {
    switch (mouseMessage) {
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        ShowWindow(hWnd(), IsIconic(hWnd()) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(hWnd());
        ShowWindow(hWnd(), SW_SHOW);
        break;
    case WM_RBUTTONUP:
        SetForegroundWindow(hWnd());
        ShowTrayMenu();
        break;
    default:
        break;
    }
}

void frmMain::ShowTrayMenu() {
    if (!mnuTray_) {
        mnuTray_ = CreatePopupMenu();
        AppendMenuA(mnuTray_, MF_STRING, kMenuRestore, "&Restore");
        AppendMenuA(mnuTray_, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(mnuTray_, MF_STRING, kMenuExit, "&Exit");
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    TrackPopupMenu(mnuTray_, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hWnd(), nullptr);
    // Lets the menu close when the user clicks elsewhere after it was opened from the icon.
    PostMessageA(hWnd(), WM_NULL, 0, 0);
}

void frmMain::mnuRestore_Click() {
    if (!IsIconic(hWnd())) return;
    ShowWindow(hWnd(), SW_RESTORE);
    ShowWindow(hWnd(), SW_SHOW);
}

void frmMain::mnuexit_Click() {
    if (actions_.ConfirmExit()) actions_.ShutDown();
}

}  // namespace corvale
