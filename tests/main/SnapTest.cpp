#include "ui/main/Snap.h"

#include <gtest/gtest.h>

using namespace corvale;

namespace {
constexpr float kScreenW = 15360, kScreenH = 11520;  // 1024 x 768 pixels
WindowBounds Normal(float left, float top) { return {left, top, 2715, 660}; }
}  // namespace

TEST(Snap, LeftAndTopEdgesWithinTheToleranceOrBeyond) {
    EXPECT_EQ(SnapToScreen(Normal(149, 3000), kScreenW, kScreenH, 150).left, 0);
    EXPECT_EQ(SnapToScreen(Normal(150, 3000), kScreenW, kScreenH, 150).left, 150);
    EXPECT_EQ(SnapToScreen(Normal(-900, -40), kScreenW, kScreenH, 150).left, 0);
    EXPECT_EQ(SnapToScreen(Normal(-900, -40), kScreenW, kScreenH, 150).top, 0);
    EXPECT_EQ(SnapToScreen(Normal(3000, 150), kScreenW, kScreenH, 150).top, 150);
}

TEST(Snap, RightAndBottomEdgesAndWindowsBeyondThePrimaryScreen) {
    EXPECT_EQ(SnapToScreen(Normal(12496, 3000), kScreenW, kScreenH, 150).left, 12645);
    EXPECT_EQ(SnapToScreen(Normal(12495, 3000), kScreenW, kScreenH, 150).left, 12495);
    const WindowBounds bottom = SnapToScreen(Normal(3000, 10800), kScreenW, kScreenH, 150);
    EXPECT_EQ(bottom.top + bottom.height, kScreenH) << "bottom edge on the screen's bottom edge";
    // Dragged onto a second monitor right of the primary one: pulled back.
    EXPECT_EQ(SnapToScreen(Normal(20000, 3000), kScreenW, kScreenH, 150).left, 12645);
}

TEST(Snap, AWindowLargerThanTheScreenEndsRightAndBottomAlignedAtANegativePlace) {
    const WindowBounds huge = SnapToScreen({500, 500, 16000, 12000}, kScreenW, kScreenH, 150);
    EXPECT_EQ(huge.left, kScreenW - 16000);
    EXPECT_EQ(huge.top, kScreenH - 12000);
    EXPECT_EQ(huge.width, 16000);
}
