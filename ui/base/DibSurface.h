#pragma once
// Device-independent bitmaps whose pixel bytes the program addresses directly: the one way
// the program makes them, and smooth scaling of a bitmap to another size.

#include <windows.h>

#include <cstdint>

#include "ui/base/GdiHandles.h"

namespace corvale {

struct DibBits {
    Bitmap bitmap;
    void* bits = nullptr;  // owned by the bitmap
    explicit operator bool() const { return bits != nullptr; }
};

// A width x height section of 24 or 32 bits per pixel; rows run from the top when topDown,
// else from the bottom as GDI stores them by default. Empty for a zero or negative size.
DibBits CreateDib(HDC dc, int width, int height, int bitCount, bool topDown);

// A copy of `source` at width x height, every output pixel a weighted mean of the source
// pixels it covers, so enlarged and reduced artwork stays smooth. Empty on failure.
Bitmap ScaleBitmapSmooth(HBITMAP source, int width, int height);

// Width and height of a bitmap (0, 0 when it is none).
SIZE BitmapSize(HBITMAP bitmap);

}  // namespace corvale
