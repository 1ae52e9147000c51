#include "ui/tiles/ctlSiteStat.h"

#include <windowsx.h>

#include "ui/tiles/TileDesigns.h"
#include "ui/widgets/Twips.h"

namespace corvale {
namespace {

const char kTileClass[] = "CorvaleSiteTile";

bool RegisterTileClass() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = DefWindowProcA;  // the object's procedure is set once it exists
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kTileClass;
        return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

float ToTwips(int pixels) { return static_cast<float>(ScreenPixelsToTwips(pixels)); }

// The graph is saved with the font of the tile's own design; the tile's font is the same.
const FontSpec kTileFont{"MS Sans Serif", 8.25, false, 0};

}  // namespace

ctlSiteStat::ctlSiteStat(HWND parent, float leftTwips, float topTwips, float heightTwips)
    : background_(Picture::FromBytes(TileBackgroundJpeg())) {
    pingLabel_.left = kPingLabelLeft;
    pingLabel_.top = kPingLabelTop;
    pingLabel_.colour = RGB(255, 255, 255);
    pingLabel_.font = CreatePingFont();
    siteLabel_.left = kSiteLabelLeft;
    siteLabel_.top = kSiteLabelTop;
    siteLabel_.colour = RGB(0xC0, 0xC0, 0xC0);
    siteLabel_.font = CreateSiteFont();
    SetLabelText(pingLabel_, "");
    SetLabelText(siteLabel_, "");

    if (!RegisterTileClass()) return;
    const int width = TwipsToScreenPixels(kTileWidthTwips), height = TwipsToScreenPixels(heightTwips);
    window_ = CreateWindowExA(0, kTileClass, "", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                              TwipsToScreenPixels(leftTwips), TwipsToScreenPixels(topTwips), width, height, parent,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window_) return;
    ResizeSurface(width, height);
    // A new tile shows its picture as drawn, not yet coloured.
    if (surfaceDc_) background_.Draw(surfaceDc_.Get(), 0, 0);

    graph_ = std::make_unique<cltGraph>(window_, kGraphLeft, kGraphTop);
    if (auto design = PropertyBag::Parse(ResponseGraphDesign())) graph_->ReadProperties(*design, kTileFont);
    // Every mouse event of the graph is one of the tile's, moved by the graph's position.
    auto forward = [this](MouseKind kind) {
        return [this, kind](int16_t& button, int16_t& shift, float& x, float& y) {
            Raise(kind, button, shift, x + graph_->Left(), y + graph_->Top());
        };
    };
    graph_->MouseDown = forward(MouseKind::Down);
    graph_->MouseMove = forward(MouseKind::Move);
    graph_->MouseUp = forward(MouseKind::Up);

    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ctlSiteStat::WindowProc));
}

ctlSiteStat::~ctlSiteStat() {
    graph_.reset();
    if (window_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    // The surface bitmap can only be deleted once it is out of its context.
    if (surfacePrevious_) SelectObject(surfaceDc_.Get(), surfacePrevious_);
}

void ctlSiteStat::ResizeSurface(int width, int height) {
    if (width <= 0 || height <= 0) return;
    if (surfaceDc_ && width == surfaceSize_.cx && height == surfaceSize_.cy) return;
    WindowDC screen(nullptr);
    Bitmap fresh(CreateCompatibleBitmap(screen.Get(), width, height));
    if (!fresh || !surfaceDc_) return;
    {
        // Keeps what was painted: the surface persists across size changes.
        MemoryDC scratch(surfaceDc_.Get());
        SelectScope select(scratch.Get(), fresh.Get());
        PatBlt(scratch.Get(), 0, 0, width, height, BLACKNESS);
        if (surface_) BitBlt(scratch.Get(), 0, 0, surfaceSize_.cx, surfaceSize_.cy, surfaceDc_.Get(), 0, 0, SRCCOPY);
    }
    HGDIOBJ previous = SelectObject(surfaceDc_.Get(), fresh.Get());
    if (!surfacePrevious_) surfacePrevious_ = previous;
    surface_ = std::move(fresh);  // the old bitmap is out of the context by now
    surfaceSize_ = {width, height};
}

LRESULT CALLBACK ctlSiteStat::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ctlSiteStat*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT ctlSiteStat::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
        Compose(paint.Get());
        return 0;
    }
    case WM_PRINTCLIENT:
        Compose(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        ResizeSurface(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
    case WM_MOUSEMOVE: case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
        OnMouse(message, wParam, lParam);
        return 0;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void ctlSiteStat::Compose(HDC target) {
    RECT client;
    GetClientRect(window_, &client);
    MemoryDC back(target);
    Bitmap buffer(CreateCompatibleBitmap(target, client.right, client.bottom));
    if (!back || !buffer) return;
    SelectScope selectBuffer(back.Get(), buffer.Get());
    BitBlt(back.Get(), 0, 0, client.right, client.bottom, surfaceDc_.Get(), 0, 0, SRCCOPY);
    SetBkMode(back.Get(), TRANSPARENT);
    for (const Label* label : {&pingLabel_, &siteLabel_}) {
        if (label->text.empty()) continue;
        SelectScope selectFont(back.Get(), label->font.Get());
        SetTextColor(back.Get(), label->colour);
        TextOutA(back.Get(), TwipsToScreenPixels(label->left), TwipsToScreenPixels(label->top), label->text.c_str(),
                 static_cast<int>(label->text.size()));
    }
    BitBlt(target, 0, 0, client.right, client.bottom, back.Get(), 0, 0, SRCCOPY);
}

void ctlSiteStat::OnMouse(UINT message, WPARAM wParam, LPARAM lParam) {
    MouseKind kind;
    if (!MouseKindOf(message, kind)) return;
    const int16_t button = kind == MouseKind::Move ? ButtonsHeld(wParam) : ButtonOfMessage(message);
    const int16_t shift = MouseShiftState(wParam);
    const float x = ToTwips(GET_X_LPARAM(lParam)), y = ToTwips(GET_Y_LPARAM(lParam));
    if (kind == MouseKind::Down) SetCapture(window_);  // moves and the release stay with the tile
    if (kind == MouseKind::Up && !(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && GetCapture() == window_)
        ReleaseCapture();

    // The labels draw on the tile, so the tile receives their events: raise them as the
    // label's, in label coordinates moved by the label's position. lblSite lies on top.
    for (const Label* label : {&siteLabel_, &pingLabel_}) {
        if (Contains(*label, x, y)) {
            const float labelX = x - label->left, labelY = y - label->top;
            Raise(kind, button, shift, labelX + label->left, labelY + label->top);
            return;
        }
    }
    Raise(kind, button, shift, x, y);
}

void ctlSiteStat::Raise(MouseKind kind, int16_t button, int16_t shift, float x, float y) {
    MouseHandler& handler = kind == MouseKind::Down ? MouseDown : kind == MouseKind::Move ? MouseMove : MouseUp;
    if (handler) handler(button, shift, x, y);
}

TwipsRect ctlSiteStat::Bounds(const Label& label) {
    return {label.left, label.top, ToTwips(label.widthPx), ToTwips(label.heightPx)};
}

bool ctlSiteStat::Contains(const Label& label, float x, float y) {
    const TwipsRect r = Bounds(label);
    return x >= r.left && y >= r.top && x < r.left + r.width && y < r.top + r.height;
}

void ctlSiteStat::SetLabelText(Label& label, std::string text) {
    auto invalidate = [&] {
        if (!window_) return;
        RECT r{TwipsToScreenPixels(label.left), TwipsToScreenPixels(label.top), 0, 0};
        r.right = r.left + label.widthPx;
        r.bottom = r.top + label.heightPx;
        InvalidateRect(window_, &r, FALSE);
    };
    invalidate();
    label.text = std::move(text);
    // Auto-sized: the label is as large as its text in its font.
    MemoryDC dc;
    SIZE extent{0, 0};
    if (dc && label.font) {
        SelectScope select(dc.Get(), label.font.Get());
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc.Get(), &metrics);
        if (!label.text.empty())
            GetTextExtentPoint32A(dc.Get(), label.text.c_str(), static_cast<int>(label.text.size()), &extent);
        extent.cy = metrics.tmHeight;
    }
    label.widthPx = extent.cx;
    label.heightPx = extent.cy;
    invalidate();
}

void ctlSiteStat::Move(float leftTwips, float topTwips, float widthTwips, float heightTwips) {
    if (window_)
        MoveWindow(window_, TwipsToScreenPixels(leftTwips), TwipsToScreenPixels(topTwips),
                   TwipsToScreenPixels(widthTwips), TwipsToScreenPixels(heightTwips), TRUE);
}

void ctlSiteStat::SetVisible(bool visible) {
    if (window_) ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

void ctlSiteStat::Changed(std::string_view property) {
    if (PropertyChanged) PropertyChanged(property);
}

void ctlSiteStat::SetSiteURL(std::string_view address) {
    properties_.siteUrl = address;
    SetLabelText(siteLabel_, ShortenAddress(address));
    Changed("SiteURL");
}

void ctlSiteStat::SetPingValue(std::string_view text) {
    properties_.pingValue = text;
    SetLabelText(pingLabel_, std::string(text));
    Changed("PingValue");
}

void ctlSiteStat::SetBackHue(int32_t value) {
    properties_.normal.hue = value;
    Changed("BackHue");
}
void ctlSiteStat::SetBackSaturation(int32_t value) {
    properties_.normal.saturation = value;
    Changed("BackSaturation");
}
void ctlSiteStat::SetBackHueError(int32_t value) {
    properties_.error.hue = value;
    Changed("BackHueError");
}
void ctlSiteStat::SetBackSaturationError(int32_t value) {
    properties_.error.saturation = value;
    Changed("BackSaturationError");
}
void ctlSiteStat::SetBackHueSelect(int32_t value) {
    properties_.select.hue = value;
    Changed("BackHueSelect");
}
void ctlSiteStat::SetBackSaturationSelect(int32_t value) {
    properties_.select.saturation = value;
    Changed("BackSaturationSelect");
}
void ctlSiteStat::SetDefaultControl(bool value) {
    properties_.defaultControl = value;
    Changed("DefaultControl");
}
void ctlSiteStat::SetSelected(bool value) {
    properties_.selected = value;
    Changed("Selected");
}

ColourStatus ctlSiteStat::ApplyRequest(ColourRequest request) {
    auto pair = colouring_.PairFor(request, properties_);
    return pair ? ApplyColorPair(*pair) : ColourStatus::Ok;
}

ColourStatus ctlSiteStat::ApplyColorsError() { return ApplyRequest(ColourRequest::Error); }
ColourStatus ctlSiteStat::ApplyColorsNormal() { return ApplyRequest(ColourRequest::Normal); }
ColourStatus ctlSiteStat::ApplyColorsSelect() { return ApplyRequest(ColourRequest::Select); }
ColourStatus ctlSiteStat::ApplyColorsUnselect() { return ApplyRequest(ColourRequest::Unselect); }

ColourStatus ctlSiteStat::ApplyColorPair(ColourPair pair) {
    // Every application starts again from the untouched picture, so none accumulate.
    source_.CreateFromPicture(background_);
    destination_.Create(source_.Width(), source_.Height());
    const ColourStatus status = colouring_.Apply(pair, source_.Pixels(), destination_.Pixels());
    if (status != ColourStatus::Ok) return status;  // the surface keeps the previous picture
    if (surfaceDc_) destination_.PaintPicture(surfaceDc_.Get(), 0, 0, -1, -1, 0, 0, SRCCOPY);
    if (window_) {
        InvalidateRect(window_, nullptr, FALSE);
        UpdateWindow(window_);
    }
    return status;
}

void ctlSiteStat::SetPingNumeric(int32_t newVal) {
    if (graph_) graph_->AddItem(newVal);
}

void ctlSiteStat::RefreshGraph() {
    if (graph_) graph_->RePaint();
}

ColourStatus ctlSiteStat::ReadProperties(const PropertyBag& bag) {
    const SiteStatProperties loaded = ReadSiteStatProperties(bag);
    properties_.siteUrl = loaded.siteUrl;
    properties_.pingValue = loaded.pingValue;
    properties_.normal = loaded.normal;
    properties_.error = loaded.error;
    properties_.select = loaded.select;
    // The normal pair is applied as soon as the colours are known, before the flags are
    // read, so `Selected` cannot block it. The labels stay empty until assigned.
    const ColourStatus status = ApplyColorPair(properties_.normal);
    properties_.defaultControl = loaded.defaultControl;
    properties_.selected = loaded.selected;
    return status;
}

void ctlSiteStat::WriteProperties(PropertyBag& bag) const { WriteSiteStatProperties(properties_, bag); }

}  // namespace corvale
