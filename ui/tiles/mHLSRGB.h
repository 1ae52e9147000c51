#pragma once
// Conversion between red-green-blue and hue-lightness-saturation for tile colourising.
// Values are single precision; every formula is evaluated in double precision and its
// result stored in single precision, so results match to the last bit on every compiler.
// Hue H is in sixths of the colour circle (-1 magenta, 0 red, 1 yellow ... 5 magenta),
// S and L run from 0 to 1.

#include <cstdint>

namespace corvale::mHLSRGB {

float MaxOfThree(float a, float b, float c);
float MinOfThree(float a, float b, float c);

// red, green and blue are 0..255.
void HlsFromRgb(int32_t red, int32_t green, int32_t blue, float& hue, float& saturation, float& lightness);

// Channels come back rounded to the nearest integer (ties to even); they lie in 0..255
// when H, S and L are in range, and may lie outside it otherwise.
void RgbFromHls(float hue, float saturation, float lightness, int32_t& red, int32_t& green, int32_t& blue);

}  // namespace corvale::mHLSRGB
