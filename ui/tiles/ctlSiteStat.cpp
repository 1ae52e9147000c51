#include "ui/tiles/ctlSiteStat.h"

#include "ui/base/Artwork.h"
#include "ui/tiles/TileDesigns.h"
#include "ui/base/Twips.h"

namespace corvale {
namespace {

const char kTileClass[] = "CorvaleSiteTile";

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

    // The picture is drawn for 96 dots per inch; elsewhere it is scaled with the tile.
    if (ScreenDpi() != 96 && background_.BitmapHandle()) {
        if (Bitmap scaled = ScaleToScreen(background_.BitmapHandle())) background_ = Picture::FromBitmap(scaled.Release());
    }
    SetPainting(Painting::Buffered);
    const PixelBox box = TwipsBoxToScreenPixels(leftTwips, topTwips, kTileWidthTwips, heightTwips);
    if (!CreateWindowOf({kTileClass}, 0, WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, box, parent)) return;
    ResizeSurface(box.width, box.height);
    // A new tile shows its picture as drawn, not yet coloured.
    if (surfaceDc_) background_.Draw(surfaceDc_.Get(), 0, 0);

    graph_ = std::make_unique<cltGraph>(hWnd(), kGraphLeft, kGraphTop);
    if (auto design = PropertyBag::Parse(ResponseGraphDesign())) graph_->ReadProperties(*design, kTileFont);
    // Every mouse event of the graph is one of the tile's, moved by the graph's position.
    auto forward = [this](MouseHandler ctlSiteStat::*event) {
        return [this, event](int16_t& button, int16_t& shift, float& x, float& y) {
            float tileX = x + graph_->Left(), tileY = y + graph_->Top();
            if (this->*event) (this->*event)(button, shift, tileX, tileY);
        };
    };
    graph_->MouseDown = forward(&ctlSiteStat::MouseDown);
    graph_->MouseMove = forward(&ctlSiteStat::MouseMove);
    graph_->MouseUp = forward(&ctlSiteStat::MouseUp);
}

ctlSiteStat::~ctlSiteStat() {
    graph_.reset();
    DestroyOwnWindow();
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

LRESULT ctlSiteStat::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    MouseEvent mouse;
    if (DecodeMouse(message, wParam, lParam, mouse)) {
        OnMouse(mouse);
        return 0;
    }
    if (message == WM_SIZE) {
        ResizeSurface(LOWORD(lParam), HIWORD(lParam));
        return 0;
    }
    return Default(message, wParam, lParam);
}

void ctlSiteStat::Paint(HDC dc, const RECT& client) {
    BitBlt(dc, 0, 0, client.right, client.bottom, surfaceDc_.Get(), 0, 0, SRCCOPY);
    SetBkMode(dc, TRANSPARENT);
    for (const Label* label : {&pingLabel_, &siteLabel_}) {
        if (label->text.empty()) continue;
        SelectScope selectFont(dc, label->font.Get());
        SetTextColor(dc, label->colour);
        TextOutA(dc, TwipsToScreenPixels(label->left), TwipsToScreenPixels(label->top), label->text.c_str(),
                 static_cast<int>(label->text.size()));
    }
}

void ctlSiteStat::OnMouse(const MouseEvent& event) {
    if (event.kind == MouseKind::Down) SetCapture(hWnd());  // moves and the release stay with the tile
    if (event.kind == MouseKind::Up && !event.buttonsStillHeld && GetCapture() == hWnd()) ReleaseCapture();
    // The labels draw on the tile, so the tile receives their events and raises them as
    // its own; a label's coordinates moved by its position are the tile's coordinates.
    RaiseMouse(event, MouseDown, MouseMove, MouseUp);
}

TwipsRect ctlSiteStat::Bounds(const Label& label) {
    return {label.left, label.top, ToTwips(label.widthPx), ToTwips(label.heightPx)};
}

void ctlSiteStat::SetLabelText(Label& label, std::string text) {
    auto invalidate = [&] {
        if (!hWnd()) return;
        RECT r{TwipsToScreenPixels(label.left), TwipsToScreenPixels(label.top), 0, 0};
        r.right = r.left + label.widthPx;
        r.bottom = r.top + label.heightPx;
        InvalidateRect(hWnd(), &r, FALSE);
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
    const PixelBox box = TwipsBoxToScreenPixels(leftTwips, topTwips, widthTwips, heightTwips);
    if (hWnd()) MoveWindow(hWnd(), box.x, box.y, box.width, box.height, TRUE);
}

void ctlSiteStat::SetVisible(bool visible) {
    if (hWnd()) ShowWindow(hWnd(), visible ? SW_SHOWNA : SW_HIDE);
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
    if (hWnd()) {
        InvalidateRect(hWnd(), nullptr, FALSE);
        UpdateWindow(hWnd());
    }
    return status;
}

void ctlSiteStat::SetPingNumeric(int32_t newVal) {
    if (graph_) graph_->AddItem(newVal);
}

void ctlSiteStat::SetPingHistory(const ResponseHistory& history) {
    if (graph_) graph_->SetHistory(history);
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
