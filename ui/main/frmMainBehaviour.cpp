// The main window's behaviour: dragging and edge snapping, where it opens, translucency, and
// what the notification-area icon and its menu ask of the window.
#include <iterator>
#include <string>
#include <vector>

#include "ui/base/Dpi.h"
#include "ui/base/MessagePump.h"
#include "ui/main/MainLayout.h"
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
    // The work area of the monitor that holds most of the window (or the nearest one).
    RECT bounds{};
    GetWindowRect(window, &bounds);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&bounds, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    const WindowBounds area{oMe.ToTwips(work.left), oMe.ToTwips(work.top), oMe.ToTwips(work.right - work.left),
                            oMe.ToTwips(work.bottom - work.top)};
    const WindowBounds now{oMe.LeftTwips(), oMe.TopTwips(), oMe.WidthTwips(), oMe.HeightTwips()};
    const WindowBounds snapped = SnapToArea(now, area, iSnapTolerance);
    if (snapped.left == now.left && snapped.top == now.top) return;
    SetWindowPos(window, nullptr, oMe.ToPixels(snapped.left), oMe.ToPixels(snapped.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmMain::StorePosition() {
    if (!hWnd()) return;
    RECT bounds{};
    GetWindowRect(hWnd(), &bounds);
    actions_.StoreWindowPlace(DesktopPixelsToTwips(bounds.left, SystemDpi()),
                              DesktopPixelsToTwips(bounds.top, SystemDpi()));
}

namespace {

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info))
        reinterpret_cast<std::vector<WorkArea>*>(areas)->push_back(
            {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom, MonitorDpi(monitor)});
    return TRUE;
}

}  // namespace

std::optional<OpeningPlace> frmMain::StoredPlace() const {
    const auto stored = actions_.StoredWindowPlace();
    if (!stored) return std::nullopt;
    std::vector<WorkArea> areas;
    EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    // The caption strip as wide as the window opens, in the mode it opens in.
    return StoredOpeningPlace(stored->first, stored->second, LayoutFor(model_.Settings().MiniMode, model_.SiteLast()).width,
                              kCaptionStripHeight, areas, SystemDpi());
}

void frmMain::ApplyTranslucency() {
    const int16_t alpha = model_.Settings().TransPerc;
    if (alpha == 100) ClearWindowAlpha(hWnd());
    else SetWindowAlpha(hWnd(), alpha);
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
    case TrayAction::OpenMenu: tray_.OpenMenu(wParam, model_.SiteLast() >= 0); break;
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

void frmMain::mnuHistory_Click() {
    if (model_.SiteLast() >= 0) actions_.OpenHistory(0);
}

void frmMain::mnuexit_Click() {
    if (actions_.ConfirmExit()) actions_.ShutDown();
}

}  // namespace corvale
