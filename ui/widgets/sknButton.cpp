// The button's window: creation, input, focus, hover tracking and shape.
#include "ui/widgets/sknButton.h"

#include <windowsx.h>

#include "ui/widgets/ControlInput.h"
#include "ui/widgets/Twips.h"

namespace corvale {
namespace {

constexpr UINT_PTR kOverTimerId = 1;
// Leaving the button is noticed within one tick, even without a mouse message over its border.
constexpr UINT kOverTimerInterval = 3;

float Twips(int pixels) { return static_cast<float>(ScreenPixelsToTwips(pixels)); }

// The platform cursor for a pointer code of the control's public interface.
LPCSTR StandardCursor(int16_t pointer) {
    switch (pointer) {
    case 2: return IDC_CROSS;
    case 3: return IDC_IBEAM;
    case 5: case 15: return IDC_SIZEALL;
    case 6: return IDC_SIZENESW;
    case 7: return IDC_SIZENS;
    case 8: return IDC_SIZENWSE;
    case 9: return IDC_SIZEWE;
    case 10: return IDC_UPARROW;
    case 11: return IDC_WAIT;
    case 12: return IDC_NO;
    case 13: return IDC_APPSTARTING;
    case 14: return IDC_HELP;
    default: return IDC_ARROW;
    }
}

}  // namespace

bool sknButton::RegisterWindowClass() {
    static const bool registered = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &sknButton::WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClassName;
        return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

sknButton::sknButton(HWND parent, SkinContainer& container, int x, int y, int width, int height, int id)
    : container_(container) {
    ApplyFont(container_.AmbientFont());
    BuildPalette();
    if (!RegisterWindowClass()) return;
    CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, x, y, width, height,
                    parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), this);
    // Creation may or may not report the first size; lay out and shape in any case.
    if (window_) OnResize();
}

sknButton::~sknButton() {
    canDraw_ = false;
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK sknButton::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<sknButton*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<sknButton*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
    }
    return result;
}

LRESULT sknButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_SIZE:
        OnResize();
        return 0;
    case WM_SHOWWINDOW:
        OnShown(wParam != 0);
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        // The look lives in the image; a paint request only copies it.
        PaintScope paint(window_);
        BuildPalette();
        image_.PaintTo(paint.Get());
        return 0;
    }
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && OnSetCursor()) return TRUE;
        break;
    case WM_LBUTTONDOWN:
        if (GetFocus() != window_) SetFocus(window_);
        SetCapture(window_);
        leftPressed_ = true;
        OnPress(1, MouseShiftState(wParam), Twips(x), Twips(y));
        return 0;
    case WM_LBUTTONDBLCLK:
        // A double click counts as a second press, so fast clicking never drops a click.
        if (lastMouseButton_ == 1) {
            OnPress(1, 0, 0, 0);
            SetCapture(window_);
            leftPressed_ = true;
        }
        return 0;
    case WM_LBUTTONUP: {
        bool wasPressed = leftPressed_;
        leftPressed_ = false;
        if (GetCapture() == window_) ReleaseCapture();
        OnRelease(1, MouseShiftState(wParam), Twips(x), Twips(y));
        if (wasPressed && IsMouseInside()) OnClick();
        return 0;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        OnPress(2, MouseShiftState(wParam), Twips(x), Twips(y));
        return 0;
    case WM_RBUTTONUP:
        OnRelease(2, MouseShiftState(wParam), Twips(x), Twips(y));
        return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        OnPress(4, MouseShiftState(wParam), Twips(x), Twips(y));
        return 0;
    case WM_MBUTTONUP:
        OnRelease(4, MouseShiftState(wParam), Twips(x), Twips(y));
        return 0;
    case WM_MOUSEMOVE:
        OnMove(ButtonsHeld(wParam), MouseShiftState(wParam), Twips(x), Twips(y));
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != window_) leftPressed_ = false;
        return 0;
    case WM_TIMER:
        if (wParam == kOverTimerId) OnOverTimer();
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(wParam);
        return 0;
    case WM_KEYUP:
        OnKeyUp(wParam);
        return 0;
    case WM_CHAR: {
        auto keyAscii = static_cast<int16_t>(wParam);
        if (events_.KeyPress) events_.KeyPress(keyAscii);
        return 0;
    }
    case WM_GETDLGCODE:
        // Arrows reach the button (they move the focus themselves); a dialog finds the
        // mnemonic through the window text and sends BM_CLICK.
        return DLGC_WANTARROWS | DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BM_CLICK:
        AccessKeyPressed();
        return 0;
    case WM_SETFOCUS:
        hasFocus_ = true;
        Redraw(lastState_, true);
        return 0;
    case WM_KILLFOCUS:
        hasFocus_ = false;
        Redraw(lastState_, true);
        return 0;
    case WM_DESTROY:
        canDraw_ = false;
        if (overTimerOn_) KillTimer(window_, kOverTimerId);
        overTimerOn_ = false;
        break;
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void sknButton::OnPress(int16_t button, int16_t shift, float x, float y) {
    if (events_.MouseDown) events_.MouseDown(button, shift, x, y);
    lastMouseButton_ = button;
    if (button != 2) Redraw(kDrawDown, false);
}

void sknButton::OnRelease(int16_t button, int16_t shift, float x, float y) {
    if (events_.MouseUp) events_.MouseUp(button, shift, x, y);
    if (button != 2) Redraw(kDrawUp, false);
}

void sknButton::OnMove(int16_t button, int16_t shift, float x, float y) {
    if (events_.MouseMove) events_.MouseMove(button, shift, x, y);
    if (button >= 2) return;
    if (!IsMouseInside()) {
        Redraw(kDrawUp, false);
    } else if (button == 0 && !isOver_) {
        if (window_ && SetTimer(window_, kOverTimerId, kOverTimerInterval, nullptr)) overTimerOn_ = true;
        isOver_ = true;
        Redraw(kDrawUp, true);
        if (events_.MouseOver) events_.MouseOver();
    } else if (button == 1) {
        // Pressed is drawn as hovering; the next move without a button tracks hover afresh.
        isOver_ = true;
        Redraw(kDrawDown, false);
        isOver_ = false;
    }
}

void sknButton::OnOverTimer() {
    if (IsMouseInside()) return;
    if (window_) KillTimer(window_, kOverTimerId);
    overTimerOn_ = false;
    isOver_ = false;
    Redraw(kDrawUp, true);
    if (events_.MouseOut) events_.MouseOut();
}

void sknButton::OnClick() {
    if (lastMouseButton_ != 1 || !enabled_) return;
    if (checkBoxBehaviour_) value_ = !value_;
    Redraw(kDrawUp, true);
    if (window_) UpdateWindow(window_);
    if (events_.Click) events_.Click();
}

void sknButton::AccessKeyPressed() {
    lastMouseButton_ = 1;
    OnClick();
}

void sknButton::OnKeyDown(WPARAM key) {
    auto keyCode = static_cast<int16_t>(key);
    if (events_.KeyDown) events_.KeyDown(keyCode, KeyShiftState());
    lastKeyCode_ = static_cast<uint8_t>(keyCode & 0xFF);
    switch (keyCode) {
    case VK_SPACE: Redraw(kDrawDown, false); break;
    case VK_LEFT:
    case VK_UP: MoveFocus(true); break;
    case VK_RIGHT:
    case VK_DOWN: MoveFocus(false); break;
    default: break;
    }
}

void sknButton::OnKeyUp(WPARAM key) {
    auto keyCode = static_cast<int16_t>(key);
    if (events_.KeyUp) events_.KeyUp(keyCode, KeyShiftState());
    if (keyCode != VK_SPACE || lastKeyCode_ != VK_SPACE) return;
    // A button disabled while Space was held never clicks, as with the mouse.
    if (!enabled_) return;
    if (checkBoxBehaviour_) value_ = !value_;
    Redraw(kDrawUp, false);
    if (window_) UpdateWindow(window_);
    if (events_.Click) events_.Click();
}

bool sknButton::IsMouseInside() const {
    POINT cursor{};
    if (!window_ || !GetCursorPos(&cursor)) return false;
    // The window under the cursor: covered or shaped-away points belong to someone else.
    return WindowFromPoint(cursor) == window_;
}

// The effect of Tab / Shift+Tab: the next or previous tab stop of the container.
void sknButton::MoveFocus(bool previous) {
    HWND parent = window_ ? GetParent(window_) : nullptr;
    if (!parent) return;
    char className[16] = {};
    GetClassNameA(parent, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0) {
        // A dialog keeps its default-button bookkeeping when it moves the focus itself.
        SendMessageA(parent, WM_NEXTDLGCTL, previous ? 1 : 0, FALSE);
        return;
    }
    if (HWND next = GetNextDlgTabItem(parent, window_, previous ? TRUE : FALSE)) SetFocus(next);
}

void sknButton::OnResize() {
    RECT client{};
    if (window_) GetClientRect(window_, &client);
    width_ = client.right;
    height_ = client.bottom;
    focusRect_ = FocusRectFor(buttonType_, width_, height_);
    image_.Resize(width_, height_);
    LayoutCaption();

    const RegionShape shape = ShapeForType(buttonType_, width_, height_);
    Region region(shape.ellipse ? CreateEllipticRgn(0, 0, width_ + 1, height_ + 1)
                                : CreateRectRgn(0, 0, width_, height_));
    if (region) {
        for (const SkinPoint& p : shape.removedPixels) {
            Region pixel(CreateRectRgn(p.x, p.y, p.x + 1, p.y + 1));
            if (pixel) CombineRgn(region.Get(), region.Get(), pixel.Get(), RGN_DIFF);
        }
        // The window owns the region from here on and frees the one it replaces.
        if (window_ && SetWindowRgn(window_, region.Get(), TRUE)) region.Release();
    }
    if (height_ != 0) Redraw(kDrawUp, true);
}

void sknButton::OnShown(bool shown) {
    if (!shown) {
        canDraw_ = false;
        return;
    }
    canDraw_ = true;
    BuildPalette();
    Redraw(kDrawUp, true);
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

bool sknButton::OnSetCursor() {
    HCURSOR cursor = nullptr;
    if (mousePointer_ == 99) {
        if (handPointer_) cursor = LoadCursor(nullptr, IDC_HAND);
        else if (mouseIcon_ && mouseIcon_->IsIcon()) cursor = mouseIcon_->IconHandle();
    }
    if (!cursor) cursor = LoadCursor(nullptr, StandardCursor(mousePointer_));
    SetCursor(cursor);
    return true;
}

void sknButton::Refresh() {
    BuildPalette();
    LayoutCaption();
    canDraw_ = true;
    Redraw(lastState_, true);
}

void sknButton::DisableRefresh() { canDraw_ = false; }

void sknButton::AmbientChanged() {
    BuildPalette();
    Redraw(lastState_, true);
}

void sknButton::MarkChanged() {
    if (!loading_) container_.PropertyChanged(*this);
}

}  // namespace corvale
