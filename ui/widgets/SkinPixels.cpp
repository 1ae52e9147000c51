#include "ui/widgets/SkinPixels.h"

#include <cmath>

namespace corvale {

int GreyOf(int red, int green, int blue) {
    // nearbyint rounds halves to even in the default rounding mode.
    double g = std::nearbyint(std::nearbyint(0.3 * red) + 0.59 * green + 0.11 * blue);
    return static_cast<int>(g);
}

void BlendPixels(std::span<uint8_t> target, std::span<const uint8_t> picture, int width, int height,
                 const BlendOptions& options) {
    if (width <= 0 || height <= 0) return;
    const std::size_t stride = RowStride24(width);
    const std::size_t needed = stride * static_cast<std::size_t>(height);
    if (target.size() < needed || picture.size() < needed) return;
    const Colour solid = static_cast<Colour>(options.solid);

    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            std::size_t i = row * stride + static_cast<std::size_t>(col) * 3;
            int pb = picture[i], pg = picture[i + 1], pr = picture[i + 2];
            Colour shown = MakeColour(pr, pg, pb);
            if (options.nearest) shown = options.nearest(shown);
            if (options.transparent && shown == *options.transparent) continue;

            if (options.solid >= 0) {
                if (options.darkOnly && pr + pg + pb > 384) continue;
                target[i] = static_cast<uint8_t>(BlueOf(solid));
                target[i + 1] = static_cast<uint8_t>(GreenOf(solid));
                target[i + 2] = static_cast<uint8_t>(RedOf(solid));
            } else if (options.greyscale) {
                auto g = static_cast<uint8_t>(GreyOf(pr, pg, pb));
                target[i] = target[i + 1] = target[i + 2] = g;
            } else if (options.blend) {
                target[i] = static_cast<uint8_t>((target[i] + 2 * pb) / 3);
                target[i + 1] = static_cast<uint8_t>((target[i + 1] + 2 * pg) / 3);
                target[i + 2] = static_cast<uint8_t>((target[i + 2] + 2 * pr) / 3);
            } else {
                target[i] = static_cast<uint8_t>(pb);
                target[i + 1] = static_cast<uint8_t>(pg);
                target[i + 2] = static_cast<uint8_t>(pr);
            }
        }
    }
}

}  // namespace corvale
