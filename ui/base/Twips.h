#pragma once
// Window and control geometry is kept in twips (1/1440 inch); these are the only
// conversions between twips and pixels in the program. Pixels always belong to a scale:
// each window's own (ui/base/Dpi.h).

namespace corvale {

inline constexpr int kTwipsPerInch = 1440;
// The scale the program's artwork is drawn for, where 15 twips make one pixel.
inline constexpr int kBaseDpi = 96;

// Rounds half away from zero, so 7.5 px becomes 8 and -7.5 px becomes -8.
constexpr int TwipsToPixels(double twips, int dpi) {
    double px = twips * dpi / kTwipsPerInch;
    return static_cast<int>(px < 0 ? px - 0.5 : px + 0.5);
}

constexpr double PixelsToTwips(double pixels, int dpi) { return pixels * kTwipsPerInch / dpi; }

struct PixelBox {
    int x = 0, y = 0, width = 0, height = 0;
};

struct TwipsRect {
    float left = 0, top = 0, width = 0, height = 0;
};

// A box given in twips, in pixels at `dpi`. Its edges are converted, not its size, so boxes
// that meet in twips meet in pixels at any resolution, without gaps or overlaps.
constexpr PixelBox TwipsBoxToPixels(double left, double top, double width, double height, int dpi) {
    const int x = TwipsToPixels(left, dpi), y = TwipsToPixels(top, dpi);
    return {x, y, TwipsToPixels(left + width, dpi) - x, TwipsToPixels(top + height, dpi) - y};
}
constexpr PixelBox TwipsBoxToPixels(const TwipsRect& box, int dpi) {
    return TwipsBoxToPixels(box.left, box.top, box.width, box.height, dpi);
}

}  // namespace corvale
