// The button's window: creation, input, focus, hover tracking and shape.
#include "ui/widgets/sknButton.h"

#include "ui/base/ControlInput.h"
#include "ui/base/Dpi.h"

namespace corvale {
namespace {

constexpr UINT_PTR kOverTimerId = 1;
// Leaving the button is noticed within one tick, even without a mouse message over its border.
constexpr UINT kOverTimerInterval = 3;

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

sknButton::sknButton(HWND parent, SkinContainer& container, int x, int y, int width, int height, int id)
    : container_(container), dpi_(WindowDpi(parent)) {
    ApplyFont(container_.AmbientFont());
    BuildPalette();
    SetPainting(Painting::Direct);  // the look lives in the image; painting only copies it
    CreateWindowOf({kClassName}, 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, {x, y, width, height},
                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
    // Creation may or may not report the first size; lay out and shape in any case.
    if (hWnd()) OnResize();
}

sknButton::~sknButton() {
    canDraw_ = false;
    DestroyOwnWindow();
}

void sknButton::Paint(HDC dc, const RECT&) {
    BuildPalette();
    image_.PaintTo(dc);
}

LRESULT sknButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        OnResize();
        return 0;
    case WM_SHOWWINDOW:
        OnShown(wParam != 0);
        break;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && OnSetCursor()) return TRUE;
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hWnd()) leftPressed_ = false;
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
        if (overTimerOn_) KillTimer(hWnd(), kOverTimerId);
        overTimerOn_ = false;
        break;
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

bool sknButton::OnMouse(const MouseEvent& event) {
    const int16_t button = event.button;
    if (event.kind == MouseKind::Move) {
        OnMove(button, event.shift, event.x, event.y);
    } else if (event.kind == MouseKind::Down && button == 1 && event.doubleClick) {
        // A double click counts as a second press, so fast clicking never drops a click.
        if (lastMouseButton_ == 1) {
            OnPress(1, 0, 0, 0);
            SetCapture(hWnd());
            leftPressed_ = true;
        }
    } else if (event.kind == MouseKind::Down) {
        if (button == 1) {
            if (GetFocus() != hWnd()) SetFocus(hWnd());
            SetCapture(hWnd());
            leftPressed_ = true;
        }
        OnPress(button, event.shift, event.x, event.y);
    } else if (button == 1) {
        const bool wasPressed = leftPressed_;
        leftPressed_ = false;
        if (GetCapture() == hWnd()) ReleaseCapture();
        OnRelease(1, event.shift, event.x, event.y);
        if (wasPressed && IsMouseInside()) OnClick();
    } else {
        OnRelease(button, event.shift, event.x, event.y);
    }
    return true;
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
        if (hWnd() && SetTimer(hWnd(), kOverTimerId, kOverTimerInterval, nullptr)) overTimerOn_ = true;
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
    if (hWnd()) KillTimer(hWnd(), kOverTimerId);
    overTimerOn_ = false;
    isOver_ = false;
    Redraw(kDrawUp, true);
    if (events_.MouseOut) events_.MouseOut();
}

void sknButton::OnClick() {
    if (lastMouseButton_ != 1 || !enabled_) return;
    if (checkBoxBehaviour_) value_ = !value_;
    Redraw(kDrawUp, true);
    if (hWnd()) UpdateWindow(hWnd());
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
    if (hWnd()) UpdateWindow(hWnd());
    if (events_.Click) events_.Click();
}

bool sknButton::IsMouseInside() const {
    POINT cursor{};
    if (!hWnd() || !GetCursorPos(&cursor)) return false;
    // The window under the cursor: covered or shaped-away points belong to someone else.
    return WindowFromPoint(cursor) == hWnd();
}

// The effect of Tab / Shift+Tab: the next or previous tab stop of the container.
void sknButton::MoveFocus(bool previous) {
    HWND parent = hWnd() ? GetParent(hWnd()) : nullptr;
    if (!parent) return;
    char className[16] = {};
    GetClassNameA(parent, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0) {
        // A dialog keeps its default-button bookkeeping when it moves the focus itself.
        SendMessageA(parent, WM_NEXTDLGCTL, previous ? 1 : 0, FALSE);
        return;
    }
    if (HWND next = GetNextDlgTabItem(parent, hWnd(), previous ? TRUE : FALSE)) SetFocus(next);
}

void sknButton::OnResize() {
    RECT client{};
    if (hWnd()) GetClientRect(hWnd(), &client);
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
        if (hWnd() && SetWindowRgn(hWnd(), region.Get(), TRUE)) region.Release();
    }
    if (height_ != 0) Redraw(kDrawUp, true);
}

void sknButton::Rescale() {
    if (!hWnd()) return;
    dpi_ = Dpi();
    ApplyFont(font_);
    OnResize();
}

void sknButton::OnShown(bool shown) {
    if (!shown) {
        canDraw_ = false;
        return;
    }
    canDraw_ = true;
    BuildPalette();
    Redraw(kDrawUp, true);
    if (hWnd()) InvalidateRect(hWnd(), nullptr, FALSE);
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
