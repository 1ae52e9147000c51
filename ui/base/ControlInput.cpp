#include "ui/base/ControlInput.h"

#include <windowsx.h>

#include <cmath>

#include "ui/base/Twips.h"

namespace corvale {

bool MouseKindOf(UINT message, MouseKind& kind) {
    switch (message) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
        kind = MouseKind::Down;
        return true;
    case WM_MOUSEMOVE: kind = MouseKind::Move; return true;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: kind = MouseKind::Up; return true;
    default: return false;
    }
}

int16_t ButtonOfMessage(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: return 1;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return 2;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return 4;
    default: return 0;
    }
}

int16_t ButtonsHeld(WPARAM mouseFlags) {
    return static_cast<int16_t>(((mouseFlags & MK_LBUTTON) ? 1 : 0) | ((mouseFlags & MK_RBUTTON) ? 2 : 0) |
                                ((mouseFlags & MK_MBUTTON) ? 4 : 0));
}

int16_t MouseShiftState(WPARAM mouseFlags) {
    return static_cast<int16_t>(((mouseFlags & MK_SHIFT) ? 1 : 0) | ((mouseFlags & MK_CONTROL) ? 2 : 0) |
                                (GetKeyState(VK_MENU) < 0 ? 4 : 0));
}

int16_t KeyShiftState() {
    return static_cast<int16_t>((GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                                (GetKeyState(VK_MENU) < 0 ? 4 : 0));
}

bool DecodeMouse(UINT message, WPARAM wParam, LPARAM lParam, int dpi, MouseEvent& event) {
    if (!MouseKindOf(message, event.kind)) return false;
    event.button = event.kind == MouseKind::Move ? ButtonsHeld(wParam) : ButtonOfMessage(message);
    event.shift = MouseShiftState(wParam);
    event.pixels = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    event.x = static_cast<float>(PixelsToTwips(event.pixels.x, dpi));
    event.y = static_cast<float>(PixelsToTwips(event.pixels.y, dpi));
    event.doubleClick = message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
    event.buttonsStillHeld = (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
    return true;
}

void RaiseMouse(const MouseEvent& event, const MouseHandler& down, const MouseHandler& move, const MouseHandler& up,
                float offsetX, float offsetY) {
    const MouseHandler& handler = event.kind == MouseKind::Down ? down : event.kind == MouseKind::Move ? move : up;
    if (!handler) return;
    int16_t button = event.button, shift = event.shift;
    float x = event.x + offsetX, y = event.y + offsetY;
    handler(button, shift, x, y);
}

COLORREF ResolveColour(uint32_t colour) {
    // The rule of the OLE colour translation, without loading OLE for it: the top bit names
    // a system colour by the low byte, anything else is the colour itself.
    return (colour & 0x80000000u) ? GetSysColor(static_cast<int>(colour & 0xFF)) : (colour & 0xFFFFFF);
}

LONG FontHeightForPoints(double points, int dpi) { return -std::lround(points * dpi / 72.0); }

}  // namespace corvale
