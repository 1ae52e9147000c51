#include "ui/base/Twips.h"

#include <gtest/gtest.h>

using namespace corvale;

TEST(Twips, FifteenTwipsMakeAPixelAt96Dpi) {
    EXPECT_EQ(TwipsToPixels(2685, 96), 179);
    EXPECT_EQ(TwipsToPixels(405, 96), 27);
    EXPECT_EQ(TwipsToPixels(0, 96), 0);
    EXPECT_DOUBLE_EQ(PixelsToTwips(179, 96), 2685);
}

TEST(Twips, OtherDpisScaleAndRoundHalfAwayFromZero) {
    EXPECT_EQ(TwipsToPixels(1440, 144), 144);
    EXPECT_EQ(TwipsToPixels(405, 120), 34);   // 33.75
    EXPECT_EQ(TwipsToPixels(7.5 * 15, 96), 8);
    EXPECT_EQ(TwipsToPixels(-7.5 * 15, 96), -8);
}
