#include "ui/tiles/cltGraph.h"

#include "ui/base/Dpi.h"

namespace corvale {
namespace {

const char kGraphClass[] = "CorvaleResponseGraph";

RECT BarPixels(const BarShape& bar, int dpi) {
    const PixelBox box = TwipsBoxToPixels(bar.left, bar.top, bar.width, bar.height, dpi);
    return {box.x, box.y, box.x + box.width, box.y + box.height};
}

}  // namespace

cltGraph::cltGraph(HWND parent, float leftTwips, float topTwips, float widthTwips, float heightTwips)
    : left_(leftTwips), top_(topTwips), width_(widthTwips), height_(heightTwips),
      font_(CreateDesignFont(properties_.font, WindowDpi(parent))) {
    for (int i = 0; i < kGraphBarCount; ++i) bars_[static_cast<std::size_t>(i)] = DesignBar(i);
    SetPainting(Painting::Buffered);  // the bars never flicker over their background
    CreateWindowOf({kGraphClass}, 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                   TwipsBoxToPixels(leftTwips, topTwips, widthTwips, heightTwips, WindowDpi(parent)), parent);
}

void cltGraph::Rescale() {
    if (!hWnd()) return;
    font_ = CreateDesignFont(properties_.font, Dpi());
    const PixelBox box = TwipsBoxToPixels(left_, top_, width_, height_, Dpi());
    SetWindowPos(hWnd(), nullptr, box.x, box.y, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hWnd(), nullptr, FALSE);
}

LRESULT cltGraph::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
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
    return Default(message, wParam, lParam);
}

bool cltGraph::OnMouse(const MouseEvent& event) {
    bool clicked = false;
    if (event.kind == MouseKind::Down) {
        SetCapture(hWnd());  // moves and the release belong to the control pressed
        if (event.button == 1) pressed_ = true;
    } else if (event.kind == MouseKind::Up) {
        RECT client;
        GetClientRect(hWnd(), &client);
        const POINT p = event.pixels;
        clicked = event.button == 1 && pressed_ && p.x >= 0 && p.y >= 0 && p.x < client.right && p.y < client.bottom;
        if (event.button == 1) pressed_ = false;
        if (!event.buttonsStillHeld && GetCapture() == hWnd()) ReleaseCapture();
    }
    RaiseMouse(event, MouseDown, MouseMove, MouseUp);
    if (event.doubleClick && event.button == 1 && DblClick) DblClick();
    if (clicked && Click) Click();
    return true;
}

void cltGraph::Paint(HDC dc, const RECT& client) {
    HWND parent = GetParent(hWnd());
    if (properties_.backStyle == 0 && parent) {
        // Transparent: what the parent shows beneath the graph.
        POINT origin{0, 0};
        MapWindowPoints(hWnd(), parent, &origin, 1);
        SetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
        SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        SetViewportOrgEx(dc, 0, 0, nullptr);
    } else {
        Brush background(CreateSolidBrush(ResolveColour(properties_.backColor)));
        FillRect(dc, &client, background.Get());
    }
    for (const BarShape& bar : bars_) {
        Brush fill(CreateSolidBrush(bar.colour));
        RECT r = BarPixels(bar, Dpi());
        FillRect(dc, &r, fill.Get());
    }
}

void cltGraph::AddItem(int32_t& newVal) {
    history_.Add(newVal);
    RePaint();
}

void cltGraph::SetHistory(const ResponseHistory& history) {
    history_ = history;
    RePaint();
}

void cltGraph::RePaint() {
    for (int i = 0; i < kGraphBarCount; ++i)
        bars_[static_cast<std::size_t>(i)] = i < history_.Count() ? BarFor(i, history_[i]) : EmptyBar(i);
    if (hWnd()) InvalidateRect(hWnd(), nullptr, FALSE);
}

void cltGraph::Refresh() {
    if (hWnd()) RedrawWindow(hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void cltGraph::Changed(std::string_view property) {
    if (hWnd()) InvalidateRect(hWnd(), nullptr, FALSE);
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
    if (hWnd()) EnableWindow(hWnd(), enabled);
    Changed("Enabled");
}

void cltGraph::SetFont(const FontSpec& font) {
    properties_.font = font;
    font_ = CreateDesignFont(font, Dpi());
    if (hWnd()) SendMessageA(hWnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
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
    if (!hWnd()) return;
    LONG_PTR style = GetWindowLongPtrA(hWnd(), GWL_STYLE);
    style = properties_.borderStyle == 1 ? (style | WS_BORDER) : (style & ~static_cast<LONG_PTR>(WS_BORDER));
    SetWindowLongPtrA(hWnd(), GWL_STYLE, style);
    SetWindowPos(hWnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void cltGraph::ReadProperties(const PropertyBag& bag, const FontSpec& containerFont) {
    properties_ = ReadGraphProperties(bag, containerFont);
    font_ = CreateDesignFont(properties_.font, Dpi());
    if (hWnd()) {
        EnableWindow(hWnd(), properties_.enabled);
        ApplyBorder();
        InvalidateRect(hWnd(), nullptr, FALSE);
    }
}

void cltGraph::WriteProperties(PropertyBag& bag, const FontSpec& containerFont) const {
    WriteGraphProperties(properties_, containerFont, bag);
}

}  // namespace corvale
