#include "ui/widgets/Trackbar.h"

#include <windows.h>
#include <commctrl.h>

namespace corvale {

Trackbar::Trackbar(HWND parent, const PixelBox& box, int id) {
    window_.Create(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM,
                   box.x, box.y, box.width, box.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void Trackbar::SetRange(int minimum, int maximum) {
    SendMessageA(hWnd(), TBM_SETRANGEMIN, FALSE, minimum);
    SendMessageA(hWnd(), TBM_SETRANGEMAX, TRUE, maximum);
}

void Trackbar::SetTickFrequency(int every) { SendMessageA(hWnd(), TBM_SETTICFREQ, static_cast<WPARAM>(every), 0); }

void Trackbar::SetSteps(int small, int large) {
    SendMessageA(hWnd(), TBM_SETLINESIZE, 0, small);
    SendMessageA(hWnd(), TBM_SETPAGESIZE, 0, large);
}

void Trackbar::SetValue(int value) { SendMessageA(hWnd(), TBM_SETPOS, TRUE, value); }

int Trackbar::GetValue() const { return static_cast<int>(SendMessageA(hWnd(), TBM_GETPOS, 0, 0)); }
int Trackbar::Minimum() const { return static_cast<int>(SendMessageA(hWnd(), TBM_GETRANGEMIN, 0, 0)); }
int Trackbar::Maximum() const { return static_cast<int>(SendMessageA(hWnd(), TBM_GETRANGEMAX, 0, 0)); }

bool Trackbar::OnParentScroll(WPARAM wParam, LPARAM lParam) {
    if (!hWnd() || reinterpret_cast<HWND>(lParam) != hWnd()) return false;
    // TB_ENDTRACK follows every move and carries no new position.
    if (LOWORD(wParam) != TB_ENDTRACK && Scrolled) Scrolled(GetValue());
    return true;
}

}  // namespace corvale
