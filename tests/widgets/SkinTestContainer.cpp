#include "SkinTestContainer.h"

#include "WinTestSupport.h"

namespace corvale::test {

void EventLog::Attach(sknButton& button) {
    auto& e = button.Events();
    e.Click = [this] { ++clicks; };
    e.MouseOver = [this] { ++overs; };
    e.MouseOut = [this] { ++outs; };
    e.MouseDown = [this](int16_t b, int16_t, float x, float y) {
        ++downs;
        lastDownButton = b;
        lastDownX = x;
        lastDownY = y;
    };
    e.MouseUp = [this](int16_t, int16_t, float, float) { ++ups; };
    e.MouseMove = [this](int16_t, int16_t, float, float) { ++moves; };
    e.KeyDown = [this](int16_t&, int16_t) { ++keyDowns; };
    e.KeyUp = [this](int16_t&, int16_t) { ++keyUps; };
    e.KeyPress = [this](int16_t&) { ++keyPresses; };
}

POINT ScreenPoint(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
}

void PlaceCursor(HWND window, int x, int y) {
    POINT p = ScreenPoint(window, x, y);
    SetCursorPos(p.x, p.y);
}

void PlaceCursorAway() { SetCursorPos(1200, 1000); }

void SendMouse(HWND window, UINT message, int x, int y, WPARAM flags) {
    SendMessageA(window, message, flags, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

void HoverAt(HWND window, int x, int y) {
    PlaceCursor(window, x, y);
    SendMouse(window, WM_MOUSEMOVE, x, y);
}

void SendKey(HWND window, UINT message, WPARAM key) {
    LPARAM flags = message == WM_KEYUP ? static_cast<LPARAM>(0xC0000001) : 1;
    SendMessageA(window, message, key, flags);
}

}  // namespace corvale::test
