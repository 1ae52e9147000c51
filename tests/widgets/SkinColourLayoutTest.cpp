// Colour arithmetic, palettes, access keys, shapes and caption layout of the skinned button.
#include <gtest/gtest.h>

#include "ui/widgets/SkinFont.h"
#include "ui/widgets/SkinLayout.h"
#include "ui/widgets/SkinPalette.h"

using namespace corvale;

TEST(SkinColour, ShiftColorTruncatesTheProportionalBlueAndHalvesForSoftBevels) {
    EXPECT_EQ(ShiftColor(0x808080, -32, true, false), MakeColour(96, 96, 107));
    EXPECT_EQ(ShiftColor(0x808080, -32, false, false), MakeColour(96, 96, 96));
    EXPECT_EQ(ShiftColor(0x808080, -32, false, true), MakeColour(112, 112, 112));
    EXPECT_EQ(ShiftColor(0x808080, -33, false, true), MakeColour(112, 112, 112)) << "-33 / 2 truncates to -16";
    // Components move independently: red 0x10, green 0x20, blue 0x30.
    EXPECT_EQ(ShiftColor(0x302010, 5, false, false), 0x352515u);
    EXPECT_EQ(ShiftColor(0x302010, 0, true, false), 0x302010u);
}

TEST(SkinColour, ShiftColorNeverLeavesTheComponentRange) {
    EXPECT_EQ(ShiftColor(0xFFFFFF, 47, false, false), 0xFFFFFFu);
    EXPECT_EQ(ShiftColor(0, -64, false, false), 0u);
    EXPECT_EQ(ShiftColor(0xF0F0F0, 48, true, false), 0xFFFFFFu);
    EXPECT_EQ(ShiftColor(0x102030, -192, false, false), 0u);
    // Only the overflowing component is clipped; no carry into the next one.
    EXPECT_EQ(ShiftColor(MakeColour(250, 10, 10), 10, false, false), MakeColour(255, 20, 20));
}

TEST(SkinColour, LightenColorMovesTowardsWhite) {
    EXPECT_EQ(LightenColor(0, 176), 0xB0B0B0u);
    EXPECT_EQ(LightenColor(0xFFFFFF, 176), 0xFFFFFFu);
    // 176 + 128 * 79 / 255 = 176 + 39 (truncated)
    EXPECT_EQ(LightenColor(MakeColour(0, 128, 255), 176), MakeColour(176, 215, 255));
    EXPECT_EQ(LightenColor(0x800000, 128), MakeColour(128, 128, 191));
}

TEST(SkinPalette, CustomSchemeDerivesEdgesFromTheFace) {
    PaletteInputs in;
    in.colorScheme = 2;
    in.buttonType = 8;
    in.backColor = 0xFFFFFF;
    in.backOver = 0xEEEEEE;
    in.foreColor = 0x112233;
    in.foreOver = 0x445566;
    Palette p = BuildPalette(in);
    EXPECT_EQ(p.shadow, 0xBFBFBFu);
    EXPECT_EQ(p.highlight, 0xFFFFFFu);
    EXPECT_EQ(p.light, 0xFFFFFFu);
    EXPECT_EQ(p.darkShadow, 0x3F3F3Fu);
    EXPECT_EQ(p.hot, 0x7F7F7Fu);
    EXPECT_EQ(p.hotLight, 0xFFFFFFu);
    EXPECT_EQ(p.faceOver, 0xEEEEEEu);
    EXPECT_EQ(p.text, 0x112233u);
    EXPECT_EQ(p.textOver, 0x445566u);
    EXPECT_EQ(p.maskRgb, 0xC0C0C0u);

    in.softBevel = true;
    EXPECT_EQ(BuildPalette(in).shadow, 0xDFDFDFu) << "a soft bevel halves the derived shifts";
}

TEST(SkinPalette, GreySchemeIsFixedWhateverThePropertiesSay) {
    PaletteInputs in;
    in.colorScheme = 3;
    in.backColor = 0x123456;
    Palette p = BuildPalette(in);
    EXPECT_EQ(p.face, 0xC0C0C0u);
    EXPECT_EQ(p.shadow, 0x808080u);
    EXPECT_EQ(p.light, 0xDFDFDFu);
    EXPECT_EQ(p.highlight, 0xFFFFFFu);
    EXPECT_EQ(p.darkShadow, 0u);
    EXPECT_EQ(p.hot, 0x800000u);
    EXPECT_EQ(p.hotLight, 0xD1ADADu);
    EXPECT_EQ(p.gradientBase, 0xF0F0F0u);
}

TEST(SkinPalette, SystemAndContainerSchemes) {
    PaletteInputs in;
    in.system.buttonFace = 0x102030;
    in.system.highlight = 0;
    in.containerBack = 0x808080;
    in.containerText = 0x0000FF;
    for (int scheme : {1, 0, 5, -7}) {
        in.colorScheme = scheme;
        Palette p = BuildPalette(in);
        EXPECT_EQ(p.face, 0x102030u) << scheme;
        EXPECT_EQ(p.hotLight, 0xB0B0B0u) << scheme;
    }
    in.colorScheme = 4;
    Palette p = BuildPalette(in);
    EXPECT_EQ(p.face, 0x808080u);
    EXPECT_EQ(p.faceOver, 0x808080u);
    EXPECT_EQ(p.text, 0x0000FFu);
    EXPECT_EQ(p.shadow, 0x404040u);
    EXPECT_EQ(p.hot, 0u);
}

TEST(SkinPalette, GradientBaseIsProportionalOnlyForTheGradientLook) {
    PaletteInputs in;
    in.colorScheme = 2;
    in.backColor = 0x808080;
    in.buttonType = 3;
    EXPECT_EQ(BuildPalette(in).gradientBase, MakeColour(176, 176, 160));
    in.buttonType = 4;
    EXPECT_EQ(BuildPalette(in).gradientBase, MakeColour(176, 176, 176));
}

TEST(SkinAccessKey, FollowsTheFirstSingleAmpersand) {
    EXPECT_EQ(FindAccessKey("&&"), '\0');
    EXPECT_EQ(FindAccessKey("&&x &y"), 'y');
    EXPECT_EQ(FindAccessKey("&a"), 'a');
    EXPECT_EQ(FindAccessKey("&"), '\0');
    EXPECT_EQ(FindAccessKey(""), '\0');
    EXPECT_EQ(FindAccessKey("Sa&ve"), 'v');
    EXPECT_EQ(FindAccessKey("Save&"), '\0');
    EXPECT_EQ(FindAccessKey("&&&x"), 'x');
    EXPECT_EQ(FindAccessKey("a && b && c"), '\0') << "only one doubled pair is skipped";
    EXPECT_EQ(FindAccessKey("&&x&"), '\0');
}

TEST(SkinGeometry, FocusInsetDependsOnTheType) {
    EXPECT_EQ(FocusRectFor(1, 40, 20), (SkinRect{4, 4, 36, 16}));
    EXPECT_EQ(FocusRectFor(7, 40, 20), (SkinRect{3, 3, 37, 17}));
    EXPECT_EQ(FocusRectFor(13, 40, 20), (SkinRect{3, 3, 37, 17}));
    EXPECT_EQ(FocusRectFor(14, 40, 20), (SkinRect{6, 6, 36, 16}));
}

TEST(SkinGeometry, ShapesCutCornersOrMakeAnEllipse) {
    auto one = ShapeForType(1, 10, 6);
    EXPECT_FALSE(one.ellipse);
    EXPECT_FALSE(ShapeKeepsPixel(one, 0, 0));
    EXPECT_FALSE(ShapeKeepsPixel(one, 9, 5));
    EXPECT_TRUE(ShapeKeepsPixel(one, 1, 0));
    EXPECT_EQ(ShapeForType(14, 10, 6).removedPixels, one.removedPixels);

    auto five = ShapeForType(5, 10, 6);
    EXPECT_EQ(five.removedPixels, (std::vector<SkinPoint>{{0, 5}, {9, 0}}));

    auto three = ShapeForType(3, 10, 6);
    EXPECT_EQ(three.removedPixels.size(), 12u);
    for (SkinPoint p : {SkinPoint{1, 0}, SkinPoint{8, 0}, SkinPoint{9, 4}, SkinPoint{0, 4}, SkinPoint{8, 5}})
        EXPECT_FALSE(ShapeKeepsPixel(three, p.x, p.y)) << p.x << "," << p.y;
    EXPECT_TRUE(ShapeKeepsPixel(three, 1, 1));
    EXPECT_EQ(ShapeForType(4, 10, 6).removedPixels, three.removedPixels);

    EXPECT_TRUE(ShapeForType(13, 10, 6).ellipse);
    for (int type : {2, 6, 7, 8, 9, 10, 11, 12}) EXPECT_TRUE(ShapeForType(type, 10, 6).removedPixels.empty());
}

namespace {
// A caption 20 x 10 pixels wherever it is measured.
SkinRect FixedText(const SkinRect& bounds) { return {bounds.left, bounds.top, bounds.left + 20, bounds.top + 10}; }

CaptionLayoutInput Input(int position, bool picture = true, bool blank = false) {
    CaptionLayoutInput in;
    in.width = 60;
    in.height = 50;
    in.picturePosition = position;
    in.picWidth = picture ? 16 : 0;
    in.picHeight = picture ? 12 : 0;
    in.hasPicture = picture;
    in.captionBlank = blank;
    return in;
}
}  // namespace

TEST(SkinLayout, CaptionIsCentredBesideItsPicture) {
    // Above: bounds top 13; text 1..21 x 13..23 moved by (60-21)/2=19, (50-23)/2=13.
    CaptionLayout above = LayoutCaption(Input(2), FixedText);
    EXPECT_EQ(above.textRect, (SkinRect{20, 26, 40, 36}));
    EXPECT_EQ(above.pressedTextRect, (SkinRect{21, 27, 41, 37}));
    EXPECT_EQ(above.textWidth, 20);
    EXPECT_EQ(above.textHeight, 10);
    EXPECT_EQ(above.picLeft, 22);
    EXPECT_EQ(above.picTop, 12);

    // Left: bounds left 17; text right 37 → dx (60-37)/2 = 11; picture 4 pixels left of it.
    CaptionLayout left = LayoutCaption(Input(0), FixedText);
    EXPECT_EQ(left.textRect, (SkinRect{28, 20, 48, 30}));
    EXPECT_EQ(left.picLeft, 8);
    EXPECT_EQ(left.picTop, 19);

    // Right: dx = (60 - 21 - 16 - 4) / 2 = 9 (truncated).
    CaptionLayout right = LayoutCaption(Input(1), FixedText);
    EXPECT_EQ(right.textRect, (SkinRect{10, 20, 30, 30}));
    EXPECT_EQ(right.picLeft, 34);

    // Below: dy = (50 - 11 - 12 - 4) / 2 = 11 (truncated).
    CaptionLayout below = LayoutCaption(Input(3), FixedText);
    EXPECT_EQ(below.textRect, (SkinRect{20, 12, 40, 22}));
    EXPECT_EQ(below.picTop, 24);
}

TEST(SkinLayout, PictureIsCentredWithoutCaptionOrBehindIt) {
    CaptionLayout behind = LayoutCaption(Input(4), FixedText);
    EXPECT_EQ(behind.picLeft, 22);
    EXPECT_EQ(behind.picTop, 19);
    EXPECT_EQ(behind.textRect, (SkinRect{20, 20, 40, 30}));
    CaptionLayout blank = LayoutCaption(Input(0, true, true), FixedText);
    EXPECT_EQ(blank.picLeft, 22);
    EXPECT_EQ(blank.picTop, 19);
    CaptionLayout none = LayoutCaption(Input(2, false), FixedText);
    EXPECT_EQ(none.picLeft, 0) << "no picture, nothing placed";
    EXPECT_EQ(none.picTop, 0);
}

TEST(SkinLayout, TinyControlsGiveNegativeButHarmlessRectangles) {
    CaptionLayoutInput in = Input(2);
    in.width = 0;
    in.height = 0;
    CaptionLayout out = LayoutCaption(in, FixedText);
    EXPECT_EQ(out.textWidth, 20);
    EXPECT_EQ(LayoutCaption(in, nullptr).textWidth, 0) << "no measuring, an empty caption";
}

TEST(SkinFont, RoundTripsAndRejectsMalformedText) {
    SkinFontSpec f;
    f.name = "Tahoma";
    f.size = 9.75;
    f.bold = true;
    f.underline = true;
    auto back = ParseFontSpec(FormatFontSpec(f));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, f);
    for (const char* bad : {"", "Tahoma", "Tahoma|x|0|0|0|0", "|8|0|0|0|0", "Tahoma|8|2|0|0|0", "Tahoma|-3|0|0|0|0",
                            "Tahoma|8|0|0|0|0|0", "Tahoma|nan|0|0|0|0"})
        EXPECT_FALSE(ParseFontSpec(bad)) << bad;
}
