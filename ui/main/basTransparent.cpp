#include "ui/main/basTransparent.h"

namespace corvale {
namespace {

// SetWindowLongA returns the previous value, which may be 0: only the error tells.
bool SetExStyle(HWND window, LONG style) {
    SetLastError(0);
    return SetWindowLongA(window, GWL_EXSTYLE, style) != 0 || GetLastError() == 0;
}

}  // namespace

int32_t SetWindowAlpha(HWND hWnd, int16_t Alpha) {
    if (static_cast<uint16_t>(Alpha) >= 256) return 1;
    bool ok = IsWindow(hWnd) != FALSE;
    if (ok) ok = SetExStyle(hWnd, GetWindowLongA(hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    if (ok) ok = SetLayeredWindowAttributes(hWnd, 0, static_cast<BYTE>(Alpha), LWA_ALPHA) != FALSE;
    return ok ? 0 : 2;
}

int32_t ClearWindowAlpha(HWND hWnd) {
    bool ok = IsWindow(hWnd) != FALSE;
    if (ok) ok = SetExStyle(hWnd, GetWindowLongA(hWnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    // On a window that is no longer layered this changes nothing visible; its failure
    // there is expected and not counted.
    if (ok) SetLayeredWindowAttributes(hWnd, 0, 0, LWA_ALPHA);
    return ok ? 0 : 2;
}

}  // namespace corvale
