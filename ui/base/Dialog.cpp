#include "ui/base/Dialog.h"

#include <vector>

#include "ui/base/Dpi.h"
#include "ui/base/GdiHandles.h"
#include "ui/base/Twips.h"

namespace corvale {
namespace {

// DLGTEMPLATE, no menu, the default class, the caption in UTF-16 (templates always are),
// no controls: they are made as windows of their own at WM_INITDIALOG.
std::vector<WORD> DialogTemplate(const char* caption) {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_3DLOOK;
    header->cdit = 0;
    header->cx = 100;  // replaced by the exact size at WM_INITDIALOG
    header->cy = 100;
    words.push_back(0);  // menu
    words.push_back(0);  // class
    for (const char* c = caption; c && *c; ++c) words.push_back(static_cast<unsigned char>(*c));
    words.push_back(0);
    return words;
}

}  // namespace

Dialog::~Dialog() {
    if (window_) {
        SetWindowLongPtrA(window_, DWLP_USER, 0);
        HWND window = window_;
        window_ = nullptr;
        // Its modal loop ends and takes the window down; nothing reaches this object again.
        EndDialog(window, -1);
    }
}

INT_PTR Dialog::RunModal(HWND owner, const Frame& frame) {
    if (window_) return -1;
    owner_ = owner;
    frame_ = frame;
    std::vector<WORD> words = DialogTemplate(frame.caption);
    // A wide dialog runs a wide modal loop, so typed characters reach its controls as typed.
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(words.data()), owner,
                                   &Dialog::Procedure, reinterpret_cast<LPARAM>(this));
}

int Dialog::Dpi() const { return WindowDpi(window_); }

void Dialog::End(INT_PTR result) {
    if (window_) EndDialog(window_, result);
}

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        if (!self) return FALSE;
        self->window_ = window;
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        TakeOverDialogScaling(window);
        self->FitAndCentre();
        self->OnInit();
        return TRUE;  // the dialog manager focuses the first tab stop
    }
    if (!self) return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        ForgetWindowDpi(window);
        self->window_ = nullptr;
        self->OnWindowGone();
        return FALSE;
    }
    return self->Dispatch(message, wParam, lParam);
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DPICHANGED) {
        OnDpiNotice(DpiOfNotice(wParam), *reinterpret_cast<const RECT*>(lParam));
        return TRUE;
    }
    INT_PTR result = FALSE;
    if (OnMessage(message, wParam, lParam, result)) return result;
    switch (message) {
    case WM_PAINT: {
        PaintScope paint(window_);
        RECT client{};
        GetClientRect(window_, &client);
        Paint(paint.Get(), client);
        return TRUE;
    }
    case WM_PRINTCLIENT: {
        RECT client{};
        GetClientRect(window_, &client);
        // The background first, as WM_ERASEBKGND would give it on screen.
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_3DFACE));
        Paint(reinterpret_cast<HDC>(wParam), client);
        return TRUE;
    }
    case WM_COMMAND:
        // Escape and the close box arrive as IDCANCEL: a dialog that handles nothing closes.
        if (LOWORD(wParam) == IDCANCEL) {
            End(IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

SIZE Dialog::OuterSize(int dpi) const {
    RECT outer{0, 0, TwipsToPixels(frame_.clientWidth, dpi), TwipsToPixels(frame_.clientHeight, dpi)};
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_EXSTYLE));
    AdjustWindowRectForDpi(outer, style, exStyle, dpi);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void Dialog::FitAndCentre() {
    // Centred over the owner when it is on screen, else in the work area of its monitor.
    RECT anchor{};
    if (owner_ && IsWindowVisible(owner_) && !IsIconic(owner_)) {
        GetWindowRect(owner_, &anchor);
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoA(MonitorFromWindow(owner_ ? owner_ : window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
        anchor = monitor.rcWork;
    }
    // Sized for the scale of the monitor it opens on.
    const POINT centre{(anchor.left + anchor.right) / 2, (anchor.top + anchor.bottom) / 2};
    const SIZE size = OuterSize(MonitorDpi(MonitorFromPoint(centre, MONITOR_DEFAULTTONEAREST)));
    const int width = size.cx, height = size.cy;
    int x = centre.x - width / 2, y = centre.y - height / 2;
    // Never partly off the work area of the monitor it lands on.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT landing{x, y, x + width, y + height};
    if (GetMonitorInfoA(MonitorFromRect(&landing, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        if (x + width > work.right) x = work.right - width;
        if (y + height > work.bottom) y = work.bottom - height;
        if (x < work.left) x = work.left;
        if (y < work.top) y = work.top;
    }
    SetWindowPos(window_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea();
}

void Dialog::FitClientArea() {
    // The scale the dialog has now, and the frame it really has: a system that draws the
    // frame at another scale than it reports, or a dialog the system has not told of the
    // scale of the monitor it was moved to, still gets its exact client area.
    const int dpi = Dpi();
    RECT client{}, outer{};
    GetClientRect(window_, &client);
    GetWindowRect(window_, &outer);
    const int dx = TwipsToPixels(frame_.clientWidth, dpi) - client.right;
    const int dy = TwipsToPixels(frame_.clientHeight, dpi) - client.bottom;
    if (dx != 0 || dy != 0)
        SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::OnDpiNotice(int dpi, const RECT& suggested) {
    KeepWindowDpi(window_, dpi);
    // The place the system suggests, the exact size of the client area at the new scale.
    const SIZE size = OuterSize(dpi);
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea();
    OnDpiChanged();
}

}  // namespace corvale
