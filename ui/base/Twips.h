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

}  // namespace corvale
