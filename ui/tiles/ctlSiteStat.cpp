#include "ui/tiles/ctlSiteStat.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "ui/base/Artwork.h"
#include "ui/base/DibSurface.h"
#include "ui/base/Dpi.h"
#include "ui/base/Picture.h"
#include "monitor/WideText.h"
#include "ui/tiles/TileDesigns.h"

namespace corvale {
namespace {

const char kTileClass[] = "CorvaleSiteTile";

// The graph is saved with the font of the tile's own design; the tile's font is the same.
const FontSpec kTileFont{"MS Sans Serif", 8.25, false, 0};

void CopyPixels(const PixelView& from, const PixelGrid& to) {
    if (!from.bits || !to.bits) return;
    const auto rowBytes = static_cast<std::size_t>(std::min(from.bytesPerRow, to.bytesPerRow));
    for (int32_t y = 0; y < std::min(from.height, to.height); ++y)
        std::memcpy(to.bits + static_cast<std::ptrdiff_t>(y) * to.bytesPerRow,
                    from.bits + static_cast<std::ptrdiff_t>(y) * from.bytesPerRow, rowBytes);
}

// Whether the font selected into `dc` has a glyph for every character of `text`. A raster
// font holds the characters of its character set's code page and no others.
bool FontShowsAll(HDC dc, const std::wstring& text) {
    if (text.empty()) return true;
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(dc, &metrics)) return true;
    const int length = static_cast<int>(text.size());
    if (metrics.tmPitchAndFamily & TMPF_TRUETYPE) {
        std::vector<WORD> glyphs(text.size());
        if (GetGlyphIndicesW(dc, text.c_str(), length, glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
            return true;
        return std::find(glyphs.begin(), glyphs.end(), WORD{0xFFFF}) == glyphs.end();
    }
    CHARSETINFO charset{};
    if (!TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<uintptr_t>(metrics.tmCharSet)), &charset,
                              TCI_SRCCHARSET))
        return true;
    BOOL lost = FALSE;
    WideCharToMultiByte(charset.ciACP, WC_NO_BEST_FIT_CHARS, text.c_str(), length, nullptr, 0, nullptr, &lost);
    return !lost;
}

}  // namespace

ctlSiteStat::ctlSiteStat(HWND parent, float leftTwips, float topTwips, float heightTwips)
    : box_{leftTwips, topTwips, kTileWidthTwips, heightTwips}, dpi_(WindowDpi(parent)) {
    pingLabel_.left = kPingLabelLeft;
    pingLabel_.top = kPingLabelTop;
    pingLabel_.colour = RGB(255, 255, 255);
    pingLabel_.font = CreatePingFont(dpi_);
    siteLabel_.left = kSiteLabelLeft;
    siteLabel_.top = kSiteLabelTop;
    siteLabel_.colour = RGB(0xC0, 0xC0, 0xC0);
    siteLabel_.font = CreateSiteFont(dpi_);
    SetLabelText(pingLabel_, "");
    SetLabelText(siteLabel_, "");
    LoadArtwork();

    SetPainting(Painting::Buffered);
    const PixelBox box = TwipsBoxToPixels(box_, dpi_);
    if (!CreateWindowOf({kTileClass}, 0, WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, box, parent)) return;
    ResizeSurface(box.width, box.height);
    // A new tile shows its picture as drawn, not yet coloured.
    ShowArtwork();

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

void ctlSiteStat::LoadArtwork() {
    const int drawnFor = ArtworkDrawnForDpi(dpi_);
    artwork_ = drawnFor == kLargeArtworkDpi ? LargeTileBackgroundPixels() : TileBackgroundPixels();
    // Elsewhere than at the scale it is drawn for, the picture is scaled with the tile, once.
    if (dpi_ == drawnFor || !artwork_.bits) return;
    DibBits drawn = CreateDib(nullptr, artwork_.width, artwork_.height, 24, false);
    if (!drawn) return;
    CopyPixels(artwork_, {static_cast<uint8_t*>(drawn.bits), artwork_.width, artwork_.height, artwork_.bytesPerRow});
    Bitmap scaled = ScaleArtwork(drawn.bitmap.Get(), drawnFor, dpi_);
    if (scaled && scaledArtwork_.CreateFromPicture(Picture::FromBitmap(scaled.Release())))
        artwork_ = scaledArtwork_.Pixels();
}

void ctlSiteStat::ShowArtwork() {
    PrepareDestination();
    if (shownPair_) {
        cColourise colouriser;
        colouriser.SetHue(shownPair_->hue);
        colouriser.SetSaturation(shownPair_->saturation);
        if (colouriser.Process(artwork_, destination_.Pixels()) != ColourStatus::Ok) return;
    } else {
        CopyPixels(artwork_, destination_.Pixels());
    }
    if (surfaceDc_) destination_.PaintPicture(surfaceDc_.Get(), 0, 0, -1, -1, 0, 0, SRCCOPY);
    if (hWnd()) InvalidateRect(hWnd(), nullptr, FALSE);
}

void ctlSiteStat::Rescale() {
    if (!hWnd() || Dpi() == dpi_) return;
    dpi_ = Dpi();
    SetLabelFont(pingLabel_, CreatePingFont(dpi_));
    SetLabelFont(siteLabel_, CreateSiteFont(dpi_));
    if (graph_) graph_->Rescale();
    Move(box_.left, box_.top, box_.width, box_.height);  // the surface takes the new size
    LoadArtwork();
    ShowArtwork();
}

// The section the colouriser writes into, made once for the artwork's size.
void ctlSiteStat::PrepareDestination() {
    if (destination_.Width() != artwork_.width || destination_.Height() != artwork_.height)
        destination_.Create(artwork_.width, artwork_.height);
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
        if (label->shown.empty()) continue;
        SelectScope selectFont(dc, label->Drawn());
        SetTextColor(dc, label->colour);
        TextOutW(dc, TwipsToPixels(label->left, dpi_), TwipsToPixels(label->top, dpi_), label->shown.c_str(),
                 static_cast<int>(label->shown.size()));
    }
}

bool ctlSiteStat::OnMouse(const MouseEvent& event) {
    if (event.kind == MouseKind::Down) SetCapture(hWnd());  // moves and the release stay with the tile
    if (event.kind == MouseKind::Up && !event.buttonsStillHeld && GetCapture() == hWnd()) ReleaseCapture();
    // The labels draw on the tile, so the tile receives their events and raises them as
    // its own; a label's coordinates moved by its position are the tile's coordinates.
    RaiseMouse(event, MouseDown, MouseMove, MouseUp);
    return true;
}

TwipsRect ctlSiteStat::Bounds(const Label& label) const {
    return {label.left, label.top, static_cast<float>(PixelsToTwips(label.widthPx, dpi_)),
            static_cast<float>(PixelsToTwips(label.heightPx, dpi_))};
}

void ctlSiteStat::SetLabelFont(Label& label, Font font) {
    // Out of the measuring context before it goes, with the stand-in made for the old scale.
    if (label.inMeasure) SelectObject(label.measure.Get(), GetStockObject(SYSTEM_FONT));
    label.inMeasure = nullptr;
    label.font = std::move(font);
    label.standIn = Font();
    label.heightPx = 0;  // measured again
    SetLabelText(label, label.text);
}

void ctlSiteStat::SetLabelText(Label& label, std::string text) {
    // The same text again (the address at every refresh) looks the same: nothing to measure.
    if (label.heightPx > 0 && text == label.text) return;
    auto invalidate = [&] {
        if (!hWnd()) return;
        RECT r{TwipsToPixels(label.left, dpi_), TwipsToPixels(label.top, dpi_), 0, 0};
        r.right = r.left + label.widthPx;
        r.bottom = r.top + label.heightPx;
        InvalidateRect(hWnd(), &r, FALSE);
    };
    invalidate();
    label.text = std::move(text);
    label.shown = Widen(label.text);
    // Auto-sized: the label is as large as its text in its font.
    const HDC dc = label.measure.Get();
    auto select = [&](HFONT font) {
        if (label.inMeasure != font) SelectObject(dc, font);
        label.inMeasure = font;
    };
    SIZE extent{0, 0};
    if (dc && label.font) {
        select(label.font.Get());
        label.useStandIn = !FontShowsAll(dc, label.shown);
        if (label.useStandIn && !label.standIn) label.standIn = CreateStandInFont(label.font.Get(), dpi_);
        if (!label.standIn) label.useStandIn = false;
        select(label.Drawn());
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        if (!label.shown.empty())
            GetTextExtentPoint32W(dc, label.shown.c_str(), static_cast<int>(label.shown.size()), &extent);
        extent.cy = metrics.tmHeight;
    }
    label.widthPx = extent.cx;
    label.heightPx = extent.cy;
    invalidate();
}

void ctlSiteStat::Move(float leftTwips, float topTwips, float widthTwips, float heightTwips) {
    box_ = {leftTwips, topTwips, widthTwips, heightTwips};
    const PixelBox box = TwipsBoxToPixels(box_, dpi_);
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
    // Coloured once per change of colour: the pair the surface shows already would come out
    // the same pixel for pixel, so only the pairs move.
    if (shownPair_ == pair) {
        colouring_.PutInForce(pair);
        return ColourStatus::Ok;
    }
    // Every application starts again from the untouched picture, so none accumulate.
    PrepareDestination();
    const ColourStatus status = colouring_.Apply(pair, artwork_, destination_.Pixels());
    if (status != ColourStatus::Ok) return status;  // the surface keeps the previous picture
    if (surfaceDc_) {
        destination_.PaintPicture(surfaceDc_.Get(), 0, 0, -1, -1, 0, 0, SRCCOPY);
        shownPair_ = pair;
    }
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
