#pragma once
// Recolours a 24-bit picture so that every pixel keeps its own lightness but takes one
// hue and one saturation (both on a 0..255 scale). Free of the window system: it works
// on any grid of blue-green-red bytes, such as the pixels of a bitmap section.

#include <cstdint>

namespace corvale {

// Row length of a 24-bit bitmap: width * 3 rounded up to a multiple of 4. 0 for width <= 0.
int32_t BytesPerScanLine(int32_t width);

// A read-only view of 24-bit pixels: `height` rows of `bytesPerRow` bytes, three bytes a
// pixel in the order blue, green, red. Owns nothing.
struct PixelView {
    const uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerRow = 0;
};

// The same, writable.
struct PixelGrid {
    uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerRow = 0;
    operator PixelView() const { return {bits, width, height, bytesPerRow}; }
};

enum class ColourStatus {
    Ok,
    Overflow,      // a channel fell outside 0..255 (hue or saturation out of range)
    SizeMismatch,  // destination does not have the source's size
    NoPixels,      // a section without a bitmap (creation failed)
};

const char* ColourStatusText(ColourStatus status);

class cColourise {
public:
    int32_t Hue() const { return hue_; }
    void SetHue(int32_t hue) { hue_ = hue; }
    int32_t Saturation() const { return saturation_; }
    void SetSaturation(int32_t saturation) { saturation_ = saturation; }

    // Writes the colourised pixels of `source` into `destination`; `source` is only read.
    // On Overflow the walk stops at the offending pixel, and what was written before it
    // stays in `destination`.
    ColourStatus Process(const PixelView& source, const PixelGrid& destination) const;

private:
    int32_t hue_ = 0;
    int32_t saturation_ = 0;
};

}  // namespace corvale
