#include "ui/base/Dpi.h"

#include "engine/SystemLibrary.h"

namespace corvale {
namespace {

constexpr char kDpiProperty[] = "Corvale.Dpi";

// user32, whose newer functions older systems lack: they are looked up by name (null there).
const tarnel::SystemLibrary& User32() {
    static const tarnel::SystemLibrary user32(L"user32.dll");
    return user32;
}

}  // namespace

int SystemDpi() {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        int value = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
        if (screen) ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return dpi;
}

int WindowDpi(HWND window) {
    HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    if (!root) return SystemDpi();
    if (const auto kept = reinterpret_cast<INT_PTR>(GetPropA(root, kDpiProperty)); kept > 0)
        return static_cast<int>(kept);
    // Windows 10 tells a window's scale; Windows 8.1 scales by monitor and tells the monitor's.
    static const auto getDpiForWindow = User32().Find<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (getDpiForWindow)
        if (const UINT dpi = getDpiForWindow(root); dpi > 0) return static_cast<int>(dpi);
    return MonitorDpi(MonitorFromWindow(root, MONITOR_DEFAULTTONEAREST));
}

int MonitorDpi(HMONITOR monitor) {
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    // Windows 8.1 and later; the shell's scaling library is not a known DLL, so it is taken
    // from the system folder.
    static const tarnel::SystemLibrary shcore(L"shcore.dll");
    static const auto getDpiForMonitor = shcore.Find<GetDpiForMonitorFunction>("GetDpiForMonitor");
    UINT x = 0, y = 0;
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    if (monitor && getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && x > 0)
        return static_cast<int>(x);
    return SystemDpi();
}

void KeepWindowDpi(HWND topLevel, int dpi) {
    if (topLevel && dpi > 0) SetPropA(topLevel, kDpiProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(dpi)));
}

void ForgetWindowDpi(HWND topLevel) {
    if (topLevel && GetPropA(topLevel, kDpiProperty)) RemovePropA(topLevel, kDpiProperty);
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
    static const auto adjustForDpi =
        User32().Find<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (adjustForDpi && adjustForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi))) return;
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

bool TooltipLogFontForDpi(int dpi, LOGFONTW& font) {
    static const auto parametersForDpi =
        User32().Find<BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT)>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (parametersForDpi &&
        parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
        font = metrics.lfStatusFont;
        return true;
    }
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return false;
    font = metrics.lfStatusFont;
    font.lfHeight = MulDiv(font.lfHeight, dpi, SystemDpi());
    return true;
}

void TakeOverDialogScaling(HWND dialog) {
    // Windows 10 1703 and later; earlier systems do not rescale dialogs themselves.
    constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
    static const auto setBehaviour =
        User32().Find<BOOL(WINAPI*)(HWND, int, int)>("SetDialogDpiChangeBehavior");
    if (setBehaviour && dialog) setBehaviour(dialog, kDisableAll, kDisableAll);
}

}  // namespace corvale
