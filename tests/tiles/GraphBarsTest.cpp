#include <gtest/gtest.h>

#include "ui/tiles/GraphBars.h"

namespace corvale {
namespace {

TEST(GraphBars, HeightsTopsAndColoursFollowTheResponseTime) {
    struct Case {
        int32_t ms;
        float height;
        uint32_t colour;
    };
    const Case cases[] = {
        {0, 60, kBarNoAnswer},   {100, 60, kBarAnswer},  {200, 100, kBarAnswer}, {300, 151, kBarAnswer},
        {500, 254, kBarAnswer},  {615, 314, kBarAnswer}, {616, 315, kBarAnswer}, {699, 315, kBarAnswer},
        {700, 315, kBarSlow},    {5000, 315, kBarSlow},  {1, 60, kBarAnswer},
    };
    for (const Case& c : cases) {
        BarShape bar = BarFor(0, c.ms);
        EXPECT_EQ(bar.height, c.height) << c.ms;
        EXPECT_EQ(bar.top, kGraphHeightTwips - c.height) << c.ms;
        EXPECT_EQ(bar.colour, c.colour) << c.ms;
    }
    EXPECT_EQ(BarFor(0, 200).top, 215.0f);
    EXPECT_EQ(BarFor(0, 0).top, 255.0f);
    EXPECT_EQ(BarFor(0, 700).top, 0.0f);
    EXPECT_EQ(BarFor(0, -5).colour, kBarNoAnswer);  // never sent; shown as no answer
}

TEST(GraphBars, BarsRunRightToLeftOverlappingByOnePixel) {
    EXPECT_EQ(BarFor(0, 100).left, 540.0f);
    EXPECT_EQ(BarFor(9, 100).left, 0.0f);
    for (int i = 0; i < kGraphBarCount; ++i) {
        BarShape design = DesignBar(i);
        EXPECT_EQ(design.left, 540.0f - 60.0f * i);
        EXPECT_EQ(design.width, 75.0f);
        EXPECT_EQ(design.top, 0.0f);
        EXPECT_EQ(design.height, 315.0f);
        EXPECT_EQ(design.colour, kBarAnswer);
    }
}

TEST(ResponseHistory, ScrollsNewestInAtIndexZero) {
    ResponseHistory history;
    for (int i = 0; i < kGraphBarCount; ++i) EXPECT_EQ(history[i], 0);
    EXPECT_EQ(history.Count(), 0);
    history.Add(0);
    EXPECT_EQ(history.Count(), 1) << "a failed result is a result";
    for (int32_t v = 1; v <= 11; ++v) history.Add(v * 10);
    EXPECT_EQ(history.Count(), kGraphBarCount);
    EXPECT_EQ(history[0], 110);
    EXPECT_EQ(history[9], 20);  // the first value has scrolled out, the second is oldest
    history.Add(0);
    EXPECT_EQ(history[0], 0);
    EXPECT_EQ(history[1], 110);
}

TEST(GraphProperties, OnlyValuesOffTheirDefaultsAreWritten) {
    const FontSpec container{"Tahoma", 9, false, 0};
    PropertyBag bag;
    WriteGraphProperties(GraphProperties{.font = container}, container, bag);
    EXPECT_EQ(bag.size(), 0u);

    GraphProperties p;
    p.backColor = 0x00123456;
    p.foreColor = 0x80000008;
    p.enabled = false;
    p.font = {"MS Sans Serif", 8.25, true, 2};
    p.backStyle = 0;
    p.borderStyle = 1;
    WriteGraphProperties(p, container, bag);
    EXPECT_EQ(bag.size(), 6u);
    auto parsed = PropertyBag::Parse(bag.Serialize());
    ASSERT_TRUE(parsed);
    GraphProperties back = ReadGraphProperties(*parsed, container);
    EXPECT_EQ(back.backColor, p.backColor);
    EXPECT_EQ(back.foreColor, p.foreColor);
    EXPECT_EQ(back.enabled, false);
    EXPECT_EQ(back.font, p.font);
    EXPECT_EQ(back.backStyle, 0);
    EXPECT_EQ(back.borderStyle, 1);

    // Missing values read as defaults, the font as the container's.
    GraphProperties fresh = ReadGraphProperties(PropertyBag{}, container);
    EXPECT_EQ(fresh.foreColor, 0x80000012u);
    EXPECT_EQ(fresh.font, container);
}

TEST(GraphProperties, MalformedFontFallsBackToTheContainerFont) {
    const FontSpec container{"Tahoma", 9, false, 0};
    for (const char* text : {"", "Arial", "Arial;x;False;0", ";8;False;0", "Arial;8;False;0;1", "Arial;-3;False;0",
                             "Arial;8;False;999"})
        EXPECT_EQ(ParseFontSpec(text, container), container) << text;
    EXPECT_EQ(ParseFontSpec("Arial;11.25;True;0", container), (FontSpec{"Arial", 11.25, true, 0}));
}

}  // namespace
}  // namespace corvale
