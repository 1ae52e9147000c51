#include "ui/main/MainLayout.h"

#include <gtest/gtest.h>

using namespace corvale;

TEST(MainLayout, SizesForNoOneAndTwentySitesInBothModes) {
    const MainLayout none = LayoutFor(false, -1);
    EXPECT_EQ(none.width, 2715);
    EXPECT_EQ(none.height, 660);
    EXPECT_EQ(none.barBottomTop, 330);
    EXPECT_EQ(none.toolBoxLeft, 1800);
    EXPECT_TRUE(none.captionVisible);
    EXPECT_FALSE(none.miniToolBoxInFront);

    const MainLayout twenty = LayoutFor(false, 19);
    EXPECT_EQ(twenty.height, 8760);
    EXPECT_EQ(twenty.barBottomTop, 8430);
    EXPECT_EQ(TileTop(19) + 405, twenty.barBottomTop) << "the tile column ends where the bar begins";

    EXPECT_EQ(LayoutFor(true, -1).width, 1266);
    EXPECT_EQ(LayoutFor(true, -1).height, 330);
    const MainLayout miniOne = LayoutFor(true, 0);
    EXPECT_EQ(miniOne.width, 1401);
    EXPECT_EQ(miniOne.toolBoxLeft, 486);
    EXPECT_FALSE(miniOne.captionVisible);
    EXPECT_TRUE(miniOne.miniToolBoxInFront);
    const MainLayout miniTwenty = LayoutFor(true, 19);
    EXPECT_EQ(miniTwenty.width, 3966);
    // The tool box starts just right of the last square.
    const float gap = miniTwenty.toolBoxLeft - (SquareLeft(19) + kSquareWidth);
    EXPECT_GT(gap, 0);
    EXPECT_LT(gap, 200);
}

TEST(MainLayout, ImageButtonsActOnlyStrictlyInsideTheirBoundsAndOnlyForTheLeftButton) {
    EXPECT_EQ(ToolBoxActionAt(1, 90, 100, "form"), ToolBoxAction::None);
    EXPECT_EQ(ToolBoxActionAt(1, 240, 100, "form"), ToolBoxAction::None);
    EXPECT_EQ(ToolBoxActionAt(1, 91, 100, "form"), ToolBoxAction::CheckNow);
    EXPECT_EQ(ToolBoxActionAt(1, 91, 60, "form"), ToolBoxAction::None);
    EXPECT_EQ(ToolBoxActionAt(1, 91, 225, "form"), ToolBoxAction::None);
    EXPECT_EQ(ToolBoxActionAt(1, 91, 224.9f, "form"), ToolBoxAction::CheckNow);
    EXPECT_EQ(ToolBoxActionAt(2, 91, 100, "form"), ToolBoxAction::None);
    EXPECT_EQ(ToolBoxActionAt(4, 91, 100, "form"), ToolBoxAction::None);

    struct Row {
        const char* from;
        float left, right;
        ToolBoxAction action;
    };
    const Row rows[] = {
        {"bottom", 90, 240, ToolBoxAction::About},        {"bottom", 2175, 2340, ToolBoxAction::Sites},
        {"bottom", 2430, 2595, ToolBoxAction::Sites},     {"topright_min", 660, 840, ToolBoxAction::Close},
        {"topright_min", 405, 585, ToolBoxAction::EnterMini}, {"topright_min", 135, 330, ToolBoxAction::Hide},
        {"topright_max", 660, 840, ToolBoxAction::Close}, {"topright_max", 405, 585, ToolBoxAction::LeaveMini},
        {"topright_max", 135, 330, ToolBoxAction::Hide},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.from) + " " + std::to_string(row.left));
        EXPECT_EQ(ToolBoxActionAt(1, row.left, 100, row.from), ToolBoxAction::None);
        EXPECT_EQ(ToolBoxActionAt(1, row.left + 1, 100, row.from), row.action);
        EXPECT_EQ(ToolBoxActionAt(1, row.right - 1, 100, row.from), row.action);
        EXPECT_EQ(ToolBoxActionAt(1, row.right, 100, row.from), ToolBoxAction::None);
        EXPECT_EQ(ToolBoxActionAt(2, row.left + 1, 100, row.from), ToolBoxAction::None);
    }
    // Between the buttons, and on surfaces that have none, nothing acts.
    EXPECT_EQ(ToolBoxActionAt(1, 1000, 100, "bottom"), ToolBoxAction::None);
    EXPECT_EQ(ToolBoxActionAt(1, 91, 100, "caption"), ToolBoxAction::None);
    EXPECT_EQ(ToolBoxActionAt(1, 91, 100, "Form"), ToolBoxAction::None);
}
