#pragma once
// Window and control geometry is kept in twips (1/1440 inch); these are the only
// conversions between twips and pixels in the program.

namespace corvale {

inline constexpr int kTwipsPerInch = 1440;

// Rounds half away from zero, so 7.5 px becomes 8 and -7.5 px becomes -8.
constexpr int TwipsToPixels(double twips, int dpi) {
    double px = twips * dpi / kTwipsPerInch;
    return static_cast<int>(px < 0 ? px - 0.5 : px + 0.5);
}

constexpr double PixelsToTwips(double pixels, int dpi) { return pixels * kTwipsPerInch / dpi; }

// Pixels per logical inch of the screen, read once (96 on a standard screen, where
// 15 twips make one pixel). Windows only.
int ScreenDpi();

inline int TwipsToScreenPixels(double twips) { return TwipsToPixels(twips, ScreenDpi()); }
inline double ScreenPixelsToTwips(double pixels) { return PixelsToTwips(pixels, ScreenDpi()); }

struct PixelBox {
    int x = 0, y = 0, width = 0, height = 0;
};

// A box given in twips, in pixels at `dpi`. Its edges are converted, not its size, so boxes
// that meet in twips meet in pixels at any resolution, without gaps or overlaps.
constexpr PixelBox TwipsBoxToPixels(double left, double top, double width, double height, int dpi) {
    const int x = TwipsToPixels(left, dpi), y = TwipsToPixels(top, dpi);
    return {x, y, TwipsToPixels(left + width, dpi) - x, TwipsToPixels(top + height, dpi) - y};
}
inline PixelBox TwipsBoxToScreenPixels(double left, double top, double width, double height) {
    return TwipsBoxToPixels(left, top, width, height, ScreenDpi());
}

}  // namespace corvale
