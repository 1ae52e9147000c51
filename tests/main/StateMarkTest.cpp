#include "ui/main/StateMark.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvale {
namespace {

TEST(StateMark, ADiscOfTheStateColourWithADarkerRimInTheLowerRightCornerOnly) {
    for (int size : {16, 32}) {
        std::vector<uint32_t> pixels(static_cast<std::size_t>(size * size), 0x00000000);  // transparent
        pixels[0] = 0xFF123456;
        PaintStateMark(pixels.data(), size, 0xE81123);
        const auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * size + x)]; };
        EXPECT_EQ(at(0, 0), 0xFF123456u) << "the picture away from the corner is untouched";
        EXPECT_EQ(at(size / 4, size - 2), 0u);
        const int centre = size - size * 3 / 10 - 1;
        EXPECT_EQ(at(centre, centre), 0xFFE81123u) << size;
        // Across the rim towards the corner: darker, then smooth (partly transparent) at the edge.
        int x = centre;
        while (x + 1 < size && (at(x + 1, centre) >> 24) == 0xFF) ++x;
        EXPECT_LT(at(x, centre) & 0xFF0000, 0xE80000u) << "rim of " << size;
        EXPECT_GT(at(x, centre) & 0xFF0000, 0u);
    }
    PaintStateMark(nullptr, 16, 0);  // nothing to paint on is no fault
}

}  // namespace
}  // namespace corvale
