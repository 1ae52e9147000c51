#pragma once
// Area-weighted resampling of 32-bit pixel grids: each output pixel is the mean of the
// source area it covers, weighted by how much of each source pixel lies inside it. Used
// to scale the artwork to the scale of the window that shows it.

#include <cstdint>

namespace corvale {

struct PixelView32 {
    uint32_t* pixels = nullptr;  // rows of `width` pixels, top row first
    int width = 0;
    int height = 0;
};

struct ConstPixelView32 {
    const uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

// Every channel (the four bytes of a pixel) is averaged on its own. Does nothing when
// either grid is empty.
void ResampleArea(ConstPixelView32 source, PixelView32 target);

}  // namespace corvale
