#include "ui/tiles/cColourise.h"

#include "ui/tiles/mHLSRGB.h"

namespace corvale {

int32_t BytesPerScanLine(int32_t width) {
    if (width <= 0) return 0;
    return static_cast<int32_t>((static_cast<int64_t>(width) * 3 + 3) & ~int64_t{3});
}

const char* ColourStatusText(ColourStatus status) {
    switch (status) {
    case ColourStatus::Ok: return "ok";
    case ColourStatus::Overflow: return "overflow";
    case ColourStatus::SizeMismatch: return "size mismatch";
    case ColourStatus::NoPixels: return "no pixels";
    }
    return "unknown";
}

ColourStatus cColourise::Process(const PixelView& source, const PixelGrid& destination) const {
    if (!source.bits || !destination.bits) return ColourStatus::NoPixels;
    // The walk indexes both grids alike; a smaller destination would be written past its end.
    if (destination.width != source.width || destination.height != source.height ||
        destination.bytesPerRow < source.bytesPerRow || source.bytesPerRow < BytesPerScanLine(source.width))
        return ColourStatus::SizeMismatch;

    const float hue = static_cast<float>(hue_ * 6.0 / 255.0 - 1.0);
    const float saturation = static_cast<float>(saturation_ / 255.0);

    // Byte positions x = 0, 3, ... up to bytesPerRow - 3: a row padded by exactly three
    // bytes has its padding treated as one more pixel, which nothing ever shows.
    for (int32_t x = 0; x + 3 <= source.bytesPerRow; x += 3) {
        for (int32_t y = 0; y < source.height; ++y) {
            const uint8_t* in = source.bits + static_cast<std::ptrdiff_t>(y) * source.bytesPerRow + x;
            uint8_t* out = destination.bits + static_cast<std::ptrdiff_t>(y) * destination.bytesPerRow + x;
            float h, s, l;
            mHLSRGB::HlsFromRgb(in[2], in[1], in[0], h, s, l);
            int32_t r, g, b;
            mHLSRGB::RgbFromHls(hue, saturation, l, r, g, b);
            // Stored one byte at a time, as far as each fits, so a failure leaves the
            // same partial pixel a byte-by-byte store would.
            if (b < 0 || b > 255) return ColourStatus::Overflow;
            out[0] = static_cast<uint8_t>(b);
            if (g < 0 || g > 255) return ColourStatus::Overflow;
            out[1] = static_cast<uint8_t>(g);
            if (r < 0 || r > 255) return ColourStatus::Overflow;
            out[2] = static_cast<uint8_t>(r);
        }
    }
    return ColourStatus::Ok;
}

}  // namespace corvale
