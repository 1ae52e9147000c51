#pragma once
// The per-pixel rule of the button's picture transfer, on 24-bit bottom-up pixel buffers
// (blue, green, red; rows padded to four bytes). Plain computation.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "ui/widgets/SkinPalette.h"

namespace corvale {

struct BlendOptions {
    std::optional<Colour> transparent;  // picture pixels of this colour leave the target alone
    int64_t solid = -1;                 // 0 or more: paint this colour instead of the picture
    bool darkOnly = false;              // with solid: only where red + green + blue <= 384
    bool greyscale = false;
    bool blend = false;                 // (target + 2 x picture) / 3
    // Maps a picture colour to one the target device can show; identity when empty.
    std::function<Colour(Colour)> nearest;
};

constexpr std::size_t RowStride24(int width) { return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3}; }

// The grey a picture pixel turns into: round(round(0.3 r) + 0.59 g + 0.11 b), halves to even.
int GreyOf(int red, int green, int blue);

// Applies the picture to the target in place; both buffers hold width x height pixels.
// Buffers too small for the size are left untouched.
void BlendPixels(std::span<uint8_t> target, std::span<const uint8_t> picture, int width, int height,
                 const BlendOptions& options);

}  // namespace corvale
