#include "ui/main/StateMark.h"

#include <algorithm>
#include <cmath>

namespace corvale {
namespace {

constexpr int kSamples = 4;  // per axis and pixel, for the smooth edge

struct Argb {
    double a, r, g, b;  // 0..1
};

Argb Unpack(uint32_t p) {
    return {((p >> 24) & 0xFF) / 255.0, ((p >> 16) & 0xFF) / 255.0, ((p >> 8) & 0xFF) / 255.0, (p & 0xFF) / 255.0};
}

uint32_t Pack(const Argb& c) {
    const auto byte = [](double v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    return byte(c.a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

// `top` laid over `under` with `coverage` of it, both in straight alpha.
Argb Over(const Argb& top, double coverage, const Argb& under) {
    const double a = coverage + under.a * (1 - coverage);
    if (a <= 0) return {0, 0, 0, 0};
    const auto mix = [&](double t, double u) { return (t * coverage + u * under.a * (1 - coverage)) / a; };
    return {a, mix(top.r, under.r), mix(top.g, under.g), mix(top.b, under.b)};
}

}  // namespace

void PaintStateMark(uint32_t* pixels, int size, uint32_t colour) {
    if (!pixels || size <= 0) return;
    const double radius = size * 0.3;
    const double centre = size - radius - size / 32.0;
    const double rim = std::max(1.0, size / 16.0);
    const Argb fill = Unpack(0xFF000000 | colour);
    const Argb dark{1, fill.r * 0.45, fill.g * 0.45, fill.b * 0.45};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int inDisc = 0, inFill = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double dx = x + (sx + 0.5) / kSamples - centre;
                    const double dy = y + (sy + 0.5) / kSamples - centre;
                    const double d = std::sqrt(dx * dx + dy * dy);
                    inDisc += d <= radius;
                    inFill += d <= radius - rim;
                }
            }
            if (inDisc == 0) continue;
            constexpr double kAll = kSamples * kSamples;
            uint32_t& pixel = pixels[static_cast<std::size_t>(y) * size + x];
            const Argb withRim = Over(dark, inDisc / kAll, Unpack(pixel));
            pixel = Pack(Over(fill, inFill / kAll, withRim));
        }
    }
}

}  // namespace corvale
