#pragma once
// The persistent image of a skinned button and the drawing primitives its looks are made
// of. The window is painted from this image; only the button's Redraw draws into it.

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "ui/base/GdiHandles.h"
#include "ui/base/Picture.h"
#include "ui/widgets/SkinLayout.h"
#include "ui/widgets/SkinPalette.h"
#include "ui/widgets/SkinPixels.h"

namespace corvale {

class SkinImage {
public:
    SkinImage();
    SkinImage(const SkinImage&) = delete;
    SkinImage& operator=(const SkinImage&) = delete;
    ~SkinImage();

    // Recreates the image at the new size (contents lost); a zero size keeps no bitmap.
    void Resize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    HDC Dc() const { return dc_.Get(); }
    // 0x00BBGGRR of one image pixel; 0 outside the image.
    Colour PixelAt(int x, int y) const;
    // Copies the image into dc at (0, 0).
    void PaintTo(HDC dc) const;

    // Right and bottom exclusive; an outline one pixel wide when frame is true.
    void Box(int x, int y, int w, int h, Colour colour, bool frame);
    // End point not drawn.
    void Line(int x1, int y1, int x2, int y2, Colour colour);
    void Pixel(int x, int y, Colour colour);
    // Ellipse inside (x, y)-(x + w, y + h), outline two pixels wide.
    void Oval(int x, int y, int w, int h, Colour outline, Colour fill);
    // Two-ring 3-D edge at |offset| pixels inside the image edge.
    void Bevel(Colour c1, Colour c2, Colour c3, Colour c4, int offset, bool outerOnly);

    // Word-broken, centred, transparent text with mnemonic underlining.
    void Text(std::string_view caption, const SkinRect& rect, Colour colour, HFONT font);
    // The caption's word-broken extent inside bounds (right and bottom adjusted).
    SkinRect MeasureText(std::string_view caption, const SkinRect& bounds, HFONT font) const;
    void FocusRectangle(const SkinRect& rect, Colour textColour);

    // Transfers a picture at (x, y) in its own size through the per-pixel rule of
    // BlendPixels. iconBackground fills the area behind an icon's transparent parts.
    void BlendPicture(int x, int y, const Picture& picture, Colour iconBackground, const BlendOptions& options);

private:
    void SelectPen(Colour colour);
    void ReleaseBitmap();

    MemoryDC dc_;
    Bitmap bitmap_;
    HGDIOBJ originalBitmap_ = nullptr;
    HGDIOBJ originalPen_ = nullptr;
    HGDIOBJ originalFont_ = nullptr;
    uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace corvale
