#include "ui/tiles/cltGraph.h"

#include <windowsx.h>

#include "ui/widgets/Twips.h"

namespace corvale {
namespace {

const char kGraphClass[] = "CorvaleResponseGraph";

bool RegisterGraphClass() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = DefWindowProcA;  // the object's procedure is set once it exists
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kGraphClass;
        return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

RECT BarPixels(const BarShape& bar) {
    return {TwipsToScreenPixels(bar.left), TwipsToScreenPixels(bar.top), TwipsToScreenPixels(bar.left + bar.width),
            TwipsToScreenPixels(bar.top + bar.height)};
}

}  // namespace

cltGraph::cltGraph(HWND parent, float leftTwips, float topTwips, float widthTwips, float heightTwips)
    : left_(leftTwips), top_(topTwips), font_(CreateDesignFont(properties_.font)) {
    for (int i = 0; i < kGraphBarCount; ++i) bars_[static_cast<std::size_t>(i)] = DesignBar(i);
    if (!RegisterGraphClass()) return;
    window_ = CreateWindowExA(0, kGraphClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                              TwipsToScreenPixels(leftTwips), TwipsToScreenPixels(topTwips),
                              TwipsToScreenPixels(widthTwips), TwipsToScreenPixels(heightTwips), parent, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (!window_) return;
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // Messages reach the object only once it is fully built.
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&cltGraph::WindowProc));
}

cltGraph::~cltGraph() {
    if (window_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

LRESULT CALLBACK cltGraph::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<cltGraph*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT cltGraph::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCDESTROY: {
        // The parent can take this window down before the object goes; forget the handle
        // so nothing later uses or destroys it again.
        HWND window = window_;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        window_ = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_PAINT: {
        PaintScope paint(window_);
        Draw(paint.Get());
        return 0;
    }
    case WM_PRINTCLIENT:
        Draw(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
    case WM_MOUSEMOVE: case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
        OnMouse(message, wParam, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        pressed_ = false;
        return 0;
    case WM_KEYDOWN: case WM_KEYUP: {
        int16_t key = static_cast<int16_t>(wParam);
        int16_t shift = KeyShiftState();
        auto& handler = message == WM_KEYDOWN ? KeyDown : KeyUp;
        if (handler) handler(key, shift);
        return 0;
    }
    case WM_CHAR: {
        int16_t ascii = static_cast<int16_t>(wParam);
        if (KeyPress) KeyPress(ascii);
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void cltGraph::OnMouse(UINT message, WPARAM wParam, LPARAM lParam) {
    MouseKind kind;
    if (!MouseKindOf(message, kind)) return;
    const int px = GET_X_LPARAM(lParam), py = GET_Y_LPARAM(lParam);
    int16_t button = kind == MouseKind::Move ? ButtonsHeld(wParam) : ButtonOfMessage(message);
    int16_t shift = MouseShiftState(wParam);
    float x = static_cast<float>(ScreenPixelsToTwips(px));
    float y = static_cast<float>(ScreenPixelsToTwips(py));

    bool clicked = false;
    if (kind == MouseKind::Down) {
        SetCapture(window_);  // moves and the release belong to the control pressed
        if (button == 1) pressed_ = true;
    } else if (kind == MouseKind::Up) {
        RECT client;
        GetClientRect(window_, &client);
        clicked = button == 1 && pressed_ && px >= 0 && py >= 0 && px < client.right && py < client.bottom;
        if (button == 1) pressed_ = false;
        if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && GetCapture() == window_) ReleaseCapture();
    }

    MouseHandler& handler = kind == MouseKind::Down ? MouseDown : kind == MouseKind::Move ? MouseMove : MouseUp;
    if (handler) handler(button, shift, x, y);
    if (message == WM_LBUTTONDBLCLK && DblClick) DblClick();
    if (clicked && Click) Click();
}

void cltGraph::Draw(HDC dc) {
    RECT client;
    GetClientRect(window_, &client);
    // Composed off screen so the bars never flicker over their background.
    MemoryDC back(dc);
    Bitmap buffer(CreateCompatibleBitmap(dc, client.right, client.bottom));
    if (!back || !buffer) return;
    SelectScope selectBuffer(back.Get(), buffer.Get());

    if (properties_.backStyle == 0 && GetParent(window_)) {
        // Transparent: what the parent shows beneath the graph.
        POINT origin{0, 0};
        MapWindowPoints(window_, GetParent(window_), &origin, 1);
        SetViewportOrgEx(back.Get(), -origin.x, -origin.y, nullptr);
        SendMessageA(GetParent(window_), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(back.Get()), PRF_CLIENT);
        SetViewportOrgEx(back.Get(), 0, 0, nullptr);
    } else {
        Brush background(CreateSolidBrush(ResolveColour(properties_.backColor)));
        FillRect(back.Get(), &client, background.Get());
    }
    for (const BarShape& bar : bars_) {
        Brush fill(CreateSolidBrush(bar.colour));
        RECT r = BarPixels(bar);
        FillRect(back.Get(), &r, fill.Get());
    }
    BitBlt(dc, 0, 0, client.right, client.bottom, back.Get(), 0, 0, SRCCOPY);
}

void cltGraph::AddItem(int32_t& newVal) {
    history_.Add(newVal);
    RePaint();
}

void cltGraph::RePaint() {
    for (int i = 0; i < kGraphBarCount; ++i) bars_[static_cast<std::size_t>(i)] = BarFor(i, history_[i]);
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void cltGraph::Refresh() {
    if (window_) RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void cltGraph::Changed(std::string_view property) {
    if (window_) InvalidateRect(window_, nullptr, FALSE);
    if (PropertyChanged) PropertyChanged(property);
}

void cltGraph::SetBackColor(uint32_t colour) {
    properties_.backColor = colour;
    Changed("BackColor");
}

void cltGraph::SetForeColor(uint32_t colour) {
    properties_.foreColor = colour;
    Changed("ForeColor");
}

void cltGraph::SetEnabled(bool enabled) {
    properties_.enabled = enabled;
    if (window_) EnableWindow(window_, enabled);
    Changed("Enabled");
}

void cltGraph::SetFont(const FontSpec& font) {
    properties_.font = font;
    font_ = CreateDesignFont(font);
    if (window_) SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    Changed("Font");
}

void cltGraph::SetBackStyle(int16_t style) {
    properties_.backStyle = style;
    Changed("BackStyle");
}

void cltGraph::SetBorderStyle(int16_t style) {
    properties_.borderStyle = style;
    ApplyBorder();
    Changed("BorderStyle");
}

void cltGraph::ApplyBorder() {
    if (!window_) return;
    LONG_PTR style = GetWindowLongPtrA(window_, GWL_STYLE);
    style = properties_.borderStyle == 1 ? (style | WS_BORDER) : (style & ~static_cast<LONG_PTR>(WS_BORDER));
    SetWindowLongPtrA(window_, GWL_STYLE, style);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void cltGraph::ReadProperties(const PropertyBag& bag, const FontSpec& containerFont) {
    properties_ = ReadGraphProperties(bag, containerFont);
    font_ = CreateDesignFont(properties_.font);
    if (window_) {
        EnableWindow(window_, properties_.enabled);
        ApplyBorder();
        InvalidateRect(window_, nullptr, FALSE);
    }
}

void cltGraph::WriteProperties(PropertyBag& bag, const FontSpec& containerFont) const {
    WriteGraphProperties(properties_, containerFont, bag);
}

}  // namespace corvale
