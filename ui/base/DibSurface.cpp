#include "ui/base/DibSurface.h"

#include <vector>

#include "ui/base/Resample.h"

namespace corvale {

DibBits CreateDib(HDC dc, int width, int height, int bitCount, bool topDown) {
    DibBits result;
    if (width <= 0 || height <= 0) return result;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = topDown ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    result.bitmap.Reset(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (result.bitmap) result.bits = bits;
    return result;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

Bitmap ScaleBitmapSmooth(HBITMAP source, int width, int height) {
    const SIZE from = BitmapSize(source);
    if (from.cx <= 0 || from.cy <= 0 || width <= 0 || height <= 0) return {};
    MemoryDC dc;
    if (!dc) return {};
    // Read the source as top-down 32-bit pixels, whatever its own format.
    std::vector<uint32_t> pixels(static_cast<std::size_t>(from.cx) * static_cast<std::size_t>(from.cy));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = from.cx;
    info.bmiHeader.biHeight = -from.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (GetDIBits(dc.Get(), source, 0, static_cast<UINT>(from.cy), pixels.data(), &info, DIB_RGB_COLORS) == 0)
        return {};
    DibBits scaled = CreateDib(dc.Get(), width, height, 32, true);
    if (!scaled) return {};
    ResampleArea({pixels.data(), from.cx, from.cy},
                 {static_cast<uint32_t*>(scaled.bits), width, height});
    GdiFlush();
    return std::move(scaled.bitmap);
}

}  // namespace corvale
