#include "ui/main/StateIcon.h"

#include <vector>

#include "ui/base/DibSurface.h"
#include "ui/main/StateMark.h"

namespace corvale {
namespace {

void DrawInto(DibBits& target, HICON icon, int size, UINT how) {
    MemoryDC dc;
    SelectScope select(dc.Get(), target.bitmap.Get());
    DrawIconEx(dc.Get(), 0, 0, icon, size, size, 0, nullptr, how);
    GdiFlush();
}

// The icon's colour pixels as 32-bit rows from the top: read as they are when the icon has
// that size (so its alpha comes along), drawn at the size otherwise.
bool IconPixels(HICON icon, HBITMAP color, int size, DibBits& target) {
    if (BitmapSize(color).cx == size && BitmapSize(color).cy == size) {
        BITMAPINFO format{};
        format.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        WindowDC screen(nullptr);
        return GetDIBits(screen.Get(), color, 0, static_cast<UINT>(size), target.bits, &format, DIB_RGB_COLORS) ==
               size;
    }
    DrawInto(target, icon, size, DI_NORMAL);
    return true;
}

}  // namespace

uint32_t StateMarkColour(OverallColour colour) {
    switch (colour) {
    case OverallColour::Green: return 0x22B14C;
    case OverallColour::Yellow: return 0xFFC90E;
    case OverallColour::Red: return 0xE81123;
    case OverallColour::Grey: break;
    }
    return 0x9A9A9A;
}

Icon IconWithStateMark(HICON base, int size, OverallColour colour) {
    ICONINFO info{};
    if (!base || size <= 0 || !GetIconInfo(base, &info)) return {};
    const Bitmap color(info.hbmColor), mask(info.hbmMask);  // ours to delete
    if (!color || !mask) return {};

    DibBits pixels = CreateDib(nullptr, size, size, 32, true);
    if (!pixels) return {};
    auto* argb = static_cast<uint32_t*>(pixels.bits);
    const std::size_t count = static_cast<std::size_t>(size) * size;
    if (!IconPixels(base, color.Get(), size, pixels)) return {};
    bool anyAlpha = false;
    for (std::size_t i = 0; i < count && !anyAlpha; ++i) anyAlpha = (argb[i] >> 24) != 0;
    if (!anyAlpha) {
        // An icon without an alpha channel: its mask says which pixels are the picture.
        DibBits maskBits = CreateDib(nullptr, size, size, 32, true);
        if (!maskBits) return {};
        DrawInto(maskBits, base, size, DI_MASK);
        const auto* maskPixels = static_cast<const uint32_t*>(maskBits.bits);
        for (std::size_t i = 0; i < count; ++i)
            if ((maskPixels[i] & 0xFFFFFF) == 0) argb[i] |= 0xFF000000;
    }
    PaintStateMark(argb, size, StateMarkColour(colour));

    // Alpha decides what shows; the mask, for the rare reader that wants one, agrees with it.
    const int stride = (size + 15) / 16 * 2;
    std::vector<BYTE> maskRows(static_cast<std::size_t>(stride) * size, 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if ((argb[static_cast<std::size_t>(y) * size + x] >> 24) == 0)
                maskRows[static_cast<std::size_t>(y) * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    const Bitmap newMask(CreateBitmap(size, size, 1, 1, maskRows.data()));
    if (!newMask) return {};
    ICONINFO made{TRUE, 0, 0, newMask.Get(), pixels.bitmap.Get()};
    return Icon(CreateIconIndirect(&made));
}

}  // namespace corvale
