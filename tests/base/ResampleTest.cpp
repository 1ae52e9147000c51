#include "ui/base/Resample.h"

#include <gtest/gtest.h>

#include <vector>

using namespace corvale;

namespace {

std::vector<uint32_t> Scale(const std::vector<uint32_t>& source, int sw, int sh, int tw, int th) {
    std::vector<uint32_t> target(static_cast<std::size_t>(tw * th), 0xDEADBEEF);
    ResampleArea({source.data(), sw, sh}, {target.data(), tw, th});
    return target;
}

uint32_t Channel(uint32_t pixel, int c) { return (pixel >> (8 * c)) & 0xFF; }

}  // namespace

TEST(Resample, FlatAreasStayExactAtAnySize) {
    // Weights that do not add up to one show as a colour drift in a flat area.
    const std::vector<uint32_t> flat(23 * 7, 0x00336699);
    for (auto [w, h] : {std::pair{23, 7}, {35, 11}, {46, 14}, {11, 3}, {1, 1}, {29, 9}})
        for (uint32_t p : Scale(flat, 23, 7, w, h)) ASSERT_EQ(p, 0x00336699u) << w << "x" << h;
}

TEST(Resample, ReductionAveragesAndEnlargementBlendsWithoutOvershoot) {
    // Black and white columns: halving gives mid grey; doubling keeps the outer columns
    // pure and blends only at the seam, never leaving the range of the two.
    const std::vector<uint32_t> stripes = {0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF};
    const auto half = Scale(stripes, 4, 1, 2, 1);
    for (uint32_t p : half) EXPECT_NEAR(static_cast<int>(Channel(p, 1)), 128, 1);

    const std::vector<uint32_t> pair = {0x000000, 0x00FF00};
    const auto wide = Scale(pair, 2, 1, 4, 1);
    EXPECT_EQ(Channel(wide[0], 1), 0u);
    EXPECT_EQ(Channel(wide[3], 1), 255u);
    EXPECT_GT(Channel(wide[1], 1), 0u);
    EXPECT_LT(Channel(wide[2], 1), 255u);
    EXPECT_LE(Channel(wide[1], 1), Channel(wide[2], 1));
    // Channels are kept apart: only green moved.
    for (uint32_t p : wide) EXPECT_EQ(p & 0xFFFF00FF, 0u);
}

TEST(Resample, EmptyGridsAreLeftAlone) {
    std::vector<uint32_t> target(4, 7);
    ResampleArea({nullptr, 2, 2}, {target.data(), 2, 2});
    ResampleArea({target.data(), 0, 2}, {target.data(), 2, 2});
    EXPECT_EQ(target, std::vector<uint32_t>(4, 7));
}
