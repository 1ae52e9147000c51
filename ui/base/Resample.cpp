#include "ui/base/Resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace corvale {
namespace {

// For one axis: the source cells each target cell covers and how much of each.
struct Tap {
    int first = 0;
    std::vector<double> weights;
};

std::vector<Tap> AxisTaps(int sourceSize, int targetSize) {
    std::vector<Tap> taps(static_cast<std::size_t>(targetSize));
    const double scale = static_cast<double>(sourceSize) / targetSize;
    for (int t = 0; t < targetSize; ++t) {
        double begin = t * scale, end = (t + 1) * scale;
        // Enlarging: a target cell is smaller than a source one; widen it to one source
        // cell centred on it, so neighbours blend instead of repeating in blocks.
        if (scale < 1.0) {
            const double centre = (begin + end) / 2;
            begin = centre - 0.5;
            end = centre + 0.5;
        }
        begin = std::max(0.0, begin);
        end = std::min(static_cast<double>(sourceSize), end);
        Tap& tap = taps[static_cast<std::size_t>(t)];
        tap.first = static_cast<int>(std::floor(begin));
        const int last = std::max(tap.first, static_cast<int>(std::ceil(end)) - 1);
        double total = 0;
        for (int s = tap.first; s <= last; ++s) {
            const double w = std::max(0.0, std::min(end, s + 1.0) - std::max(begin, static_cast<double>(s)));
            tap.weights.push_back(w);
            total += w;
        }
        if (total <= 0) {
            tap.weights.assign(1, 1.0);
            total = 1;
        }
        for (double& w : tap.weights) w /= total;
    }
    return taps;
}

}  // namespace

void ResampleArea(ConstPixelView32 source, PixelView32 target) {
    if (!source.pixels || !target.pixels || source.width <= 0 || source.height <= 0 || target.width <= 0 ||
        target.height <= 0)
        return;
    const std::vector<Tap> columns = AxisTaps(source.width, target.width);
    const std::vector<Tap> rows = AxisTaps(source.height, target.height);
    for (int y = 0; y < target.height; ++y) {
        const Tap& row = rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < target.width; ++x) {
            const Tap& column = columns[static_cast<std::size_t>(x)];
            double sum[4] = {0, 0, 0, 0};
            for (std::size_t j = 0; j < row.weights.size(); ++j) {
                const uint32_t* line = source.pixels + static_cast<std::size_t>(row.first + static_cast<int>(j)) *
                                                           static_cast<std::size_t>(source.width);
                for (std::size_t i = 0; i < column.weights.size(); ++i) {
                    const uint32_t p = line[column.first + static_cast<int>(i)];
                    const double w = row.weights[j] * column.weights[i];
                    for (int c = 0; c < 4; ++c) sum[c] += w * ((p >> (8 * c)) & 0xFF);
                }
            }
            uint32_t out = 0;
            for (int c = 0; c < 4; ++c)
                out |= static_cast<uint32_t>(std::clamp(std::lround(sum[c]), 0L, 255L)) << (8 * c);
            target.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(target.width) + x] = out;
        }
    }
}

}  // namespace corvale
