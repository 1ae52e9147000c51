#pragma once
// Reading expected colours back from a skinned button's persistent image.

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <memory>

#include "ui/widgets/sknButton.h"

namespace corvale::test {

struct Probe {
    int x, y;
    Colour expected;
    const char* what;
};

inline void ExpectPixels(const sknButton& button, const char* form, std::initializer_list<Probe> probes) {
    for (const Probe& p : probes) {
        Colour actual = button.Image().PixelAt(p.x, p.y);
        EXPECT_EQ(actual, p.expected) << "type " << button.ButtonType() << ", " << form << ", " << p.what << " at ("
                                      << p.x << ", " << p.y << "): got 0x" << std::hex << actual << ", want 0x"
                                      << p.expected;
    }
}

// A 32-bit bitmap whose left half is mask grey and right half the given colour.
inline std::shared_ptr<Picture> HalfMaskedPicture(int width, int height, Colour right) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* px = static_cast<uint32_t*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Colour c = x < width / 2 ? 0xC0C0C0 : right;
            px[y * width + x] = (static_cast<uint32_t>(RedOf(c)) << 16) | (GreenOf(c) << 8) | BlueOf(c);
        }
    return std::make_shared<Picture>(Picture::FromBitmap(bitmap));
}

}  // namespace corvale::test
