#include "ui/widgets/SkinDraw.h"

#include <cstdlib>
#include <span>
#include <string>

#include "ui/base/DibSurface.h"

namespace corvale {
namespace {

COLORREF Ref(Colour c) { return static_cast<COLORREF>(c & 0xFFFFFF); }

RECT ToRect(const SkinRect& r) { return {r.left, r.top, r.right, r.bottom}; }

// A 24-bit bottom-up pixel buffer with its own memory DC, for the picture transfer.
class PixelBuffer {
public:
    PixelBuffer(HDC compatible, int width, int height) : dc_(compatible) {
        DibBits dib = CreateDib(compatible, width, height, 24, false);
        bitmap_ = std::move(dib.bitmap);
        if (bitmap_ && dc_) {
            select_ = SelectObject(dc_.Get(), bitmap_.Get());
            bits_ = static_cast<uint8_t*>(dib.bits);
            size_ = RowStride24(width) * static_cast<std::size_t>(height);
        }
    }
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;
    ~PixelBuffer() {
        if (select_) SelectObject(dc_.Get(), select_);
    }
    bool Ok() const { return bits_ != nullptr; }
    HDC Dc() const { return dc_.Get(); }
    std::span<uint8_t> Bits() { return {bits_, size_}; }

private:
    MemoryDC dc_;
    Bitmap bitmap_;
    HGDIOBJ select_ = nullptr;
    uint8_t* bits_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace


SkinImage::SkinImage() : dc_(nullptr) {
    if (dc_) {
        originalPen_ = SelectObject(dc_.Get(), GetStockObject(DC_PEN));
        SetBkMode(dc_.Get(), TRANSPARENT);
    }
}

SkinImage::~SkinImage() {
    if (!dc_) return;
    if (originalFont_) SelectObject(dc_.Get(), originalFont_);
    if (originalPen_) SelectObject(dc_.Get(), originalPen_);
    ReleaseBitmap();
}

void SkinImage::ReleaseBitmap() {
    if (originalBitmap_) SelectObject(dc_.Get(), originalBitmap_);
    originalBitmap_ = nullptr;
    bitmap_.Reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

void SkinImage::Resize(int width, int height) {
    ReleaseBitmap();
    if (!dc_ || width <= 0 || height <= 0) return;
    // Top-down, so row y is at bits_ + y * width.
    DibBits dib = CreateDib(dc_.Get(), width, height, 32, true);
    if (!dib) return;
    bitmap_ = std::move(dib.bitmap);
    originalBitmap_ = SelectObject(dc_.Get(), bitmap_.Get());
    bits_ = static_cast<uint32_t*>(dib.bits);
    width_ = width;
    height_ = height;
}

Colour SkinImage::PixelAt(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    GdiFlush();
    uint32_t bgra = bits_[static_cast<std::size_t>(y) * width_ + x];
    return MakeColour((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
}

void SkinImage::PaintTo(HDC dc) const {
    if (bits_) BitBlt(dc, 0, 0, width_, height_, dc_.Get(), 0, 0, SRCCOPY);
}

void SkinImage::SelectPen(Colour colour) { SetDCPenColor(dc_.Get(), Ref(colour)); }

void SkinImage::Box(int x, int y, int w, int h, Colour colour, bool frame) {
    if (!bits_) return;
    RECT r{x, y, x + w, y + h};
    SetDCBrushColor(dc_.Get(), Ref(colour));
    auto brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    if (frame) FrameRect(dc_.Get(), &r, brush);
    else FillRect(dc_.Get(), &r, brush);
}

void SkinImage::Line(int x1, int y1, int x2, int y2, Colour colour) {
    if (!bits_) return;
    SelectPen(colour);
    MoveToEx(dc_.Get(), x1, y1, nullptr);
    LineTo(dc_.Get(), x2, y2);
}

void SkinImage::Pixel(int x, int y, Colour colour) {
    if (bits_) SetPixelV(dc_.Get(), x, y, Ref(colour));
}

void SkinImage::Oval(int x, int y, int w, int h, Colour outline, Colour fill) {
    if (!bits_) return;
    Pen pen(CreatePen(PS_INSIDEFRAME, 2, Ref(outline)));
    SetDCBrushColor(dc_.Get(), Ref(fill));
    SelectScope usePen(dc_.Get(), pen.Get());
    SelectScope useBrush(dc_.Get(), GetStockObject(DC_BRUSH));
    Ellipse(dc_.Get(), x, y, x + w, y + h);
}

void SkinImage::Bevel(Colour c1, Colour c2, Colour c3, Colour c4, int offset, bool outerOnly) {
    if (!bits_) return;
    HDC dc = dc_.Get();
    const int a = std::abs(offset), r = width_ + offset - 1, b = height_ + offset - 1;
    SelectPen(c1);
    MoveToEx(dc, a, b, nullptr);
    LineTo(dc, a, a);
    LineTo(dc, r, a);
    SelectPen(c2);
    LineTo(dc, r, b);
    LineTo(dc, a - 1, b);
    if (outerOnly) return;
    SelectPen(c3);
    MoveToEx(dc, a + 1, b - 1, nullptr);
    LineTo(dc, a + 1, a + 1);
    LineTo(dc, r - 1, a + 1);
    SelectPen(c4);
    LineTo(dc, r - 1, b - 1);
    LineTo(dc, a, b - 1);
}

void SkinImage::Text(std::string_view caption, const SkinRect& rect, Colour colour, HFONT font) {
    if (!bits_ || caption.empty()) return;
    std::string text(caption);
    RECT r = ToRect(rect);
    SelectScope useFont(dc_.Get(), font);
    SetTextColor(dc_.Get(), Ref(colour));
    DrawTextA(dc_.Get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_WORDBREAK);
}

SkinRect SkinImage::MeasureText(std::string_view caption, const SkinRect& bounds, HFONT font) const {
    std::string text(caption);
    RECT r = ToRect(bounds);
    SelectScope useFont(dc_.Get(), font);
    if (text.empty() || !DrawTextA(dc_.Get(), text.c_str(), static_cast<int>(text.size()), &r,
                                   DT_CALCRECT | DT_WORDBREAK)) {
        r.right = r.left;
        r.bottom = r.top;
    }
    return {r.left, r.top, r.right, r.bottom};
}

void SkinImage::FocusRectangle(const SkinRect& rect, Colour textColour) {
    if (!bits_) return;
    RECT r = ToRect(rect);
    SetTextColor(dc_.Get(), Ref(textColour));
    DrawFocusRect(dc_.Get(), &r);
}

void SkinImage::BlendPicture(int x, int y, const Picture& picture, Colour iconBackground,
                             const BlendOptions& options) {
    const int w = picture.Width(), h = picture.Height();
    if (!bits_ || picture.Empty() || w <= 0 || h <= 0) return;
    PixelBuffer target(dc_.Get(), w, h);
    PixelBuffer source(dc_.Get(), w, h);
    if (!target.Ok() || !source.Ok()) return;

    if (picture.IsIcon()) {
        RECT all{0, 0, w, h};
        SetDCBrushColor(source.Dc(), Ref(iconBackground));
        FillRect(source.Dc(), &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    picture.Draw(source.Dc(), 0, 0);
    BitBlt(target.Dc(), 0, 0, w, h, dc_.Get(), x, y, SRCCOPY);
    GdiFlush();

    BlendOptions rule = options;
    // Only a palette device changes colours on the way; true-colour images show every value.
    if (!rule.nearest && GetDeviceCaps(dc_.Get(), BITSPIXEL) <= 8) {
        HDC dc = dc_.Get();
        rule.nearest = [dc](Colour c) { return static_cast<Colour>(GetNearestColor(dc, Ref(c))); };
    }
    BlendPixels(target.Bits(), source.Bits(), w, h, rule);
    BitBlt(dc_.Get(), x, y, w, h, target.Dc(), 0, 0, SRCCOPY);
}

}  // namespace corvale
