#include "ui/main/Snap.h"

#include <gtest/gtest.h>

#include <array>

#include "ui/main/WindowPlace.h"

using namespace corvale;

namespace {
constexpr WindowBounds kScreen{0, 0, 15360, 11520};  // 1024 x 768 pixels, no taskbar
WindowBounds Normal(float left, float top) { return {left, top, 2715, 660}; }
float SnappedLeft(WindowBounds window, WindowBounds area) { return SnapToArea(window, area, 150).left; }
float SnappedTop(WindowBounds window, WindowBounds area) { return SnapToArea(window, area, 150).top; }
}  // namespace

TEST(Snap, OneScreenWithoutATaskbarWithinTheToleranceOrBeyond) {
    EXPECT_EQ(SnappedLeft(Normal(149, 3000), kScreen), 0);
    EXPECT_EQ(SnappedLeft(Normal(150, 3000), kScreen), 150);
    EXPECT_EQ(SnappedLeft(Normal(-900, -40), kScreen), 0);
    EXPECT_EQ(SnappedTop(Normal(-900, -40), kScreen), 0);
    EXPECT_EQ(SnappedTop(Normal(3000, 150), kScreen), 150);
    EXPECT_EQ(SnappedLeft(Normal(12496, 3000), kScreen), 12645);
    EXPECT_EQ(SnappedLeft(Normal(12495, 3000), kScreen), 12495);
    const WindowBounds bottom = SnapToArea(Normal(3000, 10800), kScreen, 150);
    EXPECT_EQ(bottom.top + bottom.height, 11520) << "bottom edge on the screen's bottom edge";
}

TEST(Snap, EdgesAreThoseOfTheMonitorsWorkAreaWhereverItLies) {
    // A second monitor right of the primary one: its own edges, never the primary's.
    const WindowBounds right{15360, 0, 19200, 14400};
    EXPECT_EQ(SnappedLeft(Normal(15500, 3000), right), 15360);
    EXPECT_EQ(SnappedLeft(Normal(20000, 3000), right), 20000) << "stays on the second monitor";
    EXPECT_EQ(SnappedLeft(Normal(31800, 3000), right), 34560 - 2715);
    // Left of the primary one, at negative coordinates.
    const WindowBounds left{-19200, -1440, 19200, 14400};
    EXPECT_EQ(SnappedLeft(Normal(-19100, 3000), left), -19200);
    EXPECT_EQ(SnappedTop(Normal(-10000, -1400), left), -1440);
    EXPECT_EQ(SnappedLeft(Normal(-2800, 3000), left), -2715) << "its right edge on the primary's left";
    EXPECT_EQ(SnappedLeft(Normal(-10000, 3000), left), -10000);
    // A taskbar 600 twips high at the bottom: the window ends above it, not behind it.
    const WindowBounds aboveTaskbar{0, 0, 15360, 10920};
    const WindowBounds dropped = SnapToArea(Normal(3000, 10300), aboveTaskbar, 150);
    EXPECT_EQ(dropped.top + dropped.height, 10920);
    // A taskbar 900 twips wide at the left: the window's left edge beside it.
    const WindowBounds besideTaskbar{900, 0, 14460, 11520};
    EXPECT_EQ(SnappedLeft(Normal(700, 3000), besideTaskbar), 900);
    EXPECT_EQ(SnappedLeft(Normal(1049, 3000), besideTaskbar), 900);
    EXPECT_EQ(SnappedLeft(Normal(1050, 3000), besideTaskbar), 1050);
}

TEST(Snap, AWindowLargerThanTheAreaEndsAlignedRightAndBottomBeyondItsOtherEdges) {
    const WindowBounds huge = SnapToArea({500, 500, 16000, 12000}, kScreen, 150);
    EXPECT_EQ(huge.left, 15360 - 16000);
    EXPECT_EQ(huge.top, 11520 - 12000);
    EXPECT_EQ(huge.width, 16000);
    const WindowBounds onSecond = SnapToArea({16000, 500, 16000, 12000}, {15360, 0, 15360, 11520}, 150);
    EXPECT_EQ(onSecond.left, 15360 + 15360 - 16000);
}

TEST(WindowPlace, AStoredPlaceOpensOnlyWhereAMonitorShowsTheWholeCaptionStrip) {
    // The primary monitor, a second one right of it at 150 %, a third left of the primary.
    const std::array<WorkArea, 3> areas{{{0, 0, 1280, 984, 96}, {1280, 0, 3200, 1200, 144}, {-1024, 0, 0, 768, 96}}};
    auto place = [&](int32_t left, int32_t top, float width = 2715) {
        return StoredOpeningPlace(left, top, width, 330, areas, 96);
    };
    ASSERT_TRUE(place(300 * 15, 200 * 15));
    EXPECT_EQ(place(300 * 15, 200 * 15)->dpi, 96);
    // On the second monitor, sized at its scale: 2715 twips are 272 pixels there.
    const auto second = place(2900 * 15, 10 * 15);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->x, 2900);
    EXPECT_EQ(second->dpi, 144);
    EXPECT_FALSE(place(2930 * 15, 10 * 15)) << "its right end would be off the second monitor";
    EXPECT_TRUE(place(-1024 * 15, 0));
    // A monitor that is gone, a strip behind the taskbar or straddling two monitors.
    EXPECT_FALSE(place(4000 * 15, 100 * 15));
    EXPECT_FALSE(place(300 * 15, 970 * 15));
    EXPECT_FALSE(place(1200 * 15, 100 * 15));
    // Stored and read back, a place is the same pixel at any system scale.
    for (int dpi : {96, 120, 144, 168, 192})
        for (int pixels : {-1024, -1, 0, 1, 1277, 2919})
            EXPECT_EQ(DesktopTwipsToPixels(DesktopPixelsToTwips(pixels, dpi), dpi), pixels);
}
