#include "ui/tiles/mHLSRGB.h"

#include <cmath>
#include <cstdint>

namespace corvale::mHLSRGB {
namespace {

// Stores a double-precision result in single precision (the one rounding per formula).
constexpr float Single(double value) { return static_cast<float>(value); }

int32_t ToChannel(float value) {
    // rint rounds ties to even in the default rounding mode, as nearbyint does, but
    // without saving and restoring the floating-point environment, which costs the
    // MinGW runtime about 100 ns a call (three calls a pixel). Wild hues or saturations
    // give huge values; they saturate here (and still fail the byte range check of the
    // caller) instead of overflowing the integer conversion.
    const double rounded = std::rint(static_cast<double>(value) * 255.0);
    if (!(rounded >= INT32_MIN)) return INT32_MIN;
    if (rounded > INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(rounded);
}

}  // namespace

float MaxOfThree(float a, float b, float c) {
    if (a > b) return a > c ? a : c;
    return b >= c ? b : c;
}

float MinOfThree(float a, float b, float c) {
    if (a >= b) return c >= b ? b : c;
    return a >= c ? c : a;
}

void HlsFromRgb(int32_t red, int32_t green, int32_t blue, float& hue, float& saturation, float& lightness) {
    const float r = Single(red / 255.0);
    const float g = Single(green / 255.0);
    const float b = Single(blue / 255.0);
    const float max = MaxOfThree(r, g, b);
    const float min = MinOfThree(r, g, b);
    const double dmax = max, dmin = min;

    lightness = Single((dmax + dmin) / 2.0);
    if (max == min) {
        saturation = 0.0f;
        hue = 0.0f;
        return;
    }
    saturation = lightness <= 0.5f ? Single((dmax - dmin) / (dmax + dmin)) : Single((dmax - dmin) / (2.0 - dmax - dmin));

    const float delta = Single(dmax - dmin);
    if (r == max)
        hue = Single((static_cast<double>(g) - b) / delta);
    else if (g == max)
        hue = Single(2.0 + (static_cast<double>(b) - r) / delta);
    else
        hue = Single(4.0 + (static_cast<double>(r) - g) / delta);
}

void RgbFromHls(float hue, float saturation, float lightness, int32_t& red, int32_t& green, int32_t& blue) {
    float r, g, b;
    if (saturation == 0.0f) {
        r = g = b = lightness;
    } else {
        const double h = hue, s = saturation, l = lightness;
        const float lo = lightness <= 0.5f ? Single(l * (1.0 - s)) : Single(l - s * (1.0 - l));
        const float hi = Single(2.0 * l - lo);
        const double span = Single(static_cast<double>(hi) - lo);
        if (hue < 1.0f) {
            r = hi;
            if (hue < 0.0f) {
                g = lo;
                b = Single(lo - h * span);
            } else {
                b = lo;
                g = Single(h * span + lo);
            }
        } else if (hue < 3.0f) {
            g = hi;
            if (hue < 2.0f) {
                b = lo;
                r = Single(lo - (h - 2.0) * span);
            } else {
                r = lo;
                b = Single((h - 2.0) * span + lo);
            }
        } else {
            b = hi;
            if (hue < 4.0f) {
                r = lo;
                g = Single(lo - (h - 4.0) * span);
            } else {
                g = lo;
                r = Single((h - 4.0) * span + lo);
            }
        }
    }
    red = ToChannel(r);
    green = ToChannel(g);
    blue = ToChannel(b);
}

}  // namespace corvale::mHLSRGB
