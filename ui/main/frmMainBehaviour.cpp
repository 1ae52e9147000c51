// The main window's behaviour: dragging and edge snapping, translucency, and what the
// notification-area icon and its menu ask of the window.
#include <iterator>

#include "monitor/Settings.h"
#include "ui/base/MessagePump.h"
#include "ui/base/Twips.h"
#include "ui/main/Snap.h"
#include "ui/main/StateIcon.h"
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
    tray_.Add(hWnd(), smallIcon_.Get(), ProgramVersionInfo().productName);
}

void frmMain::TrayOff() { tray_.Remove(); }

void frmMain::ShowOverallState(const OverallState& state) {
    if (shownState_ == state) return;
    shownState_ = state;
    Icon marked = IconWithStateMark(smallIcon_.Get(), GetSystemMetrics(SM_CXSMICON), state.colour);
    constexpr std::size_t kTipUnits = std::size(NOTIFYICONDATAW{}.szTip) - 1;
    tray_.Change(marked ? marked.Get() : smallIcon_.Get(),
                 OverallTipText(ProgramVersionInfo().productName, state, kTipUnits));
    stateIcon_ = std::move(marked);  // the earlier one goes once the shell holds this one
}

void frmMain::OnTrayMessage(WPARAM wParam, LPARAM lParam) {
    switch (tray_.ActionFor(lParam)) {
    case TrayAction::ShowWindow: ShowAndRestore(); break;
    case TrayAction::OpenMenu: tray_.OpenMenu(wParam); break;
    case TrayAction::None: break;
    }
}

void frmMain::ShowAndRestore() {
    ShowWindow(hWnd(), IsIconic(hWnd()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hWnd());
    ShowWindow(hWnd(), SW_SHOW);
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
