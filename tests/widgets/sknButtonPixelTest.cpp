// The looks of the skinned button, read back pixel by pixel from its persistent image and
// compared with the colours its drawing tables give for the palette in use.
#include <gtest/gtest.h>

#include <cmath>

#include "SkinPixelProbe.h"
#include "SkinTestContainer.h"
#include "WinTestSupport.h"

using namespace corvale;
using namespace corvale::test;

namespace {

constexpr int W = 60, H = 24;

Colour S(Colour c, int n) { return ShiftColor(c, n, false, false); }
Colour SP(Colour c, int n) { return ShiftColor(c, n, true, false); }
int GradientStep(float total, int i) { return static_cast<int>(std::nearbyint(-(total / H) * i)); }

class SkinButtonLooks : public SkinButtonSuite<200, 100> {
protected:
    void SetUp() override { PlaceCursorAway(); }
    void TearDown() override {
        button.reset();
        PlaceCursorAway();
        PumpMessages();
    }
    sknButton& Make(int type, int scheme = 3) {
        button = std::make_unique<sknButton>(host.Handle(), container, 20, 20, W, H);
        button->SetColorScheme(scheme);
        button->SetButtonType(type);
        button->SetCaption("Ok");
        PumpMessages();
        return *button;
    }
    void Hover() { HoverAt(button->hWnd(), W / 2, H / 2); }
    void Leave() {
        PlaceCursorAway();
        for (int i = 0; i < 50 && button->IsOver(); ++i) PumpMessagesFor(10);
        ASSERT_FALSE(button->IsOver());
    }
    void Press() { SendKey(button->hWnd(), WM_KEYDOWN, VK_SPACE); }
    void Release() { SendKey(button->hWnd(), WM_KEYUP, VK_SPACE); }

    std::unique_ptr<sknButton> button;
};

}  // namespace

TEST_F(SkinButtonLooks, Type1DoubleBevelInsideADarkFrame) {
    auto& b = Make(1);
    const Palette p = b.CurrentPalette();
    const Colour hi = p.highlight, sh = p.shadow, dk = p.darkShadow;
    auto raised = [&](const char* form) {
        ExpectPixels(b, form, {{0, 0, dk, "frame corner"}, {W / 2, 0, dk, "frame top"}, {W - 1, H / 2, dk, "frame right"},
                               {1, 1, hi, "outer light corner"}, {1, H / 2, hi, "outer left"}, {W / 2, 1, hi, "outer top"},
                               {W - 2, H / 2, sh, "outer right"}, {W / 2, H - 2, sh, "outer bottom"},
                               {1, H - 2, sh, "outer bottom-left"}, {W - 2, 1, sh, "outer top-right"},
                               {2, H / 2, hi, "inner left"}, {W - 3, H / 2, sh, "inner right"},
                               {W / 2, H - 3, sh, "inner bottom"}, {4, 4, p.face, "face"}});
    };
    raised("up");
    Hover();
    raised("hover");
    Leave();
    Press();
    ExpectPixels(b, "pressed", {{0, 0, dk, "frame corner"}, {1, 1, sh, "outer corner"}, {1, H / 2, sh, "outer left"},
                                {W - 2, H / 2, hi, "outer right"}, {W / 2, H - 2, hi, "outer bottom"},
                                {2, H / 2, sh, "inner left"}, {W - 3, H / 2, hi, "inner right"}});
    Release();
    b.SetEnabled(false);
    raised("disabled");
}

TEST_F(SkinButtonLooks, Type2ClassicBevelAndItsDefaultForm) {
    auto& b = Make(2);
    const Palette p = b.CurrentPalette();
    const Colour hi = p.highlight, sh = p.shadow, dk = p.darkShadow, li = p.light;
    auto raised = [&](const char* form) {
        ExpectPixels(b, form, {{0, 0, hi, "top-left"}, {0, H / 2, hi, "left"}, {W / 2, 0, hi, "top"},
                               {W - 1, 0, dk, "top-right"}, {W - 1, H / 2, dk, "right"}, {W / 2, H - 1, dk, "bottom"},
                               {0, H - 1, dk, "bottom-left"}, {1, 1, li, "inner corner"}, {1, H / 2, li, "inner left"},
                               {W - 2, H / 2, sh, "inner right"}, {W / 2, H - 2, sh, "inner bottom"},
                               {1, H - 2, sh, "inner bottom-left"}, {W - 2, 1, sh, "inner top-right"}});
    };
    raised("up");
    Hover();
    raised("hover");
    Leave();
    Press();
    ExpectPixels(b, "pressed", {{0, 0, dk, "top-left"}, {W - 1, H / 2, hi, "right"}, {1, 1, sh, "inner corner"},
                                {W - 2, H / 2, li, "inner right"}});
    Release();

    container.defaultButton = &b;
    b.Refresh();
    ExpectPixels(b, "default", {{0, 0, dk, "frame"}, {W - 1, H / 2, dk, "frame right"}, {1, 1, hi, "bevel corner"},
                                {W - 2, H / 2, dk, "bevel right"}, {2, 2, li, "inner corner"},
                                {W - 3, H / 2, sh, "inner right"}});
    Press();
    ExpectPixels(b, "default pressed", {{0, 0, dk, "frame"}, {1, 1, sh, "second frame"}, {W - 2, H / 2, sh, "second frame"},
                                        {2, 2, p.face, "no bevel"}});
    Release();
    container.defaultButton = nullptr;

    b.SetEnabled(false);
    raised("disabled");
}

TEST_F(SkinButtonLooks, Type3GradientWithColouredRings) {
    auto& b = Make(3);
    const Colour gb = b.CurrentPalette().gradientBase;
    auto frame = [&](const char* form) {
        ExpectPixels(b, form, {{0, 0, 0x733C00, "frame"}, {W / 2, H - 1, 0x733C00, "frame bottom"},
                               {1, 1, 0x7B4D10, "corner"}, {W - 2, H - 2, 0x7B4D10, "corner"}});
    };
    frame("up");
    ExpectPixels(b, "up", {{4, 5, SP(gb, GradientStep(25, 5)), "gradient row 5"},
                           {W / 2, H - 2, SP(gb, -48), "bottom edge"}, {W / 2, H - 3, SP(gb, -32), "second bottom edge"},
                           {W - 2, H / 2, SP(gb, -36), "right edge"}, {W - 3, H / 2, SP(gb, -24), "second right edge"},
                           {W / 2, 1, SP(gb, +16), "top edge"}, {W / 2, 2, SP(gb, +10), "second top edge"},
                           {1, H / 2, SP(gb, -5), "left edge"}, {2, H / 2, SP(gb, -10), "second left edge"}});
    Hover();
    frame("hover");
    ExpectPixels(b, "hover", {{1, H / 2, 0x31B2FF, "ring"}, {W - 2, H / 2, 0x31B2FF, "ring"},
                              {W / 2, H - 2, 0x0096E7, "ring bottom"}, {W / 2, 1, 0xCEF3FF, "ring top"},
                              {W / 2, 2, 0x8CDBFF, "ring top 2"}, {2, H / 2, 0x6BCBFF, "ring left"},
                              {W - 3, H / 2, 0x6BCBFF, "ring right"}});
    Leave();
    SetFocus(b.hWnd());
    ExpectPixels(b, "focused", {{1, H / 2, 0xE7AE8C, "ring"}, {W / 2, H - 2, 0xEF826B, "ring bottom"},
                                {W / 2, 1, 0xFFE7CE, "ring top"}, {2, H / 2, 0xF0D1B5, "ring left"}});
    SetFocus(host.Handle());
    Press();
    const Colour base = SP(gb, -32);
    frame("pressed");
    ExpectPixels(b, "pressed", {{4, 5, SP(base, GradientStep(25, H - 5)), "upward gradient row 5"},
                                {W / 2, H - 2, SP(base, +16), "bottom"}, {W / 2, H - 3, SP(base, +10), "bottom 2"},
                                {W - 2, H / 2, SP(base, +5), "right"}, {W - 3, H / 2, gb, "right 2"},
                                {W / 2, 1, SP(base, -32), "top"}, {W / 2, 2, SP(base, -24), "top 2"},
                                {1, H / 2, SP(base, -32), "left"}, {2, H / 2, SP(base, -22), "left 2"}});
    Release();
    b.SetEnabled(false);
    ExpectPixels(b, "disabled", {{4, 5, SP(gb, -24), "fill"}, {0, 0, SP(gb, -84), "frame"},
                                 {W - 1, H / 2, SP(gb, -84), "frame right"}, {1, 1, SP(gb, -72), "corner"},
                                 {W - 2, H - 2, SP(gb, -72), "corner"}});
}

TEST_F(SkinButtonLooks, OnePixelHighGradientStillDrawsItsFrame) {
    // The only gradient row (row 1) lies below the image; the frame covers row 0.
    button = std::make_unique<sknButton>(host.Handle(), container, 20, 20, W, 1);
    button->SetColorScheme(3);
    long draws = button->DrawCount();
    button->SetButtonType(3);
    EXPECT_GT(button->DrawCount(), draws);
    ExpectPixels(*button, "up", {{W / 2, 0, 0x733C00, "frame"}, {0, 0, 0x733C00, "frame"}});
}

TEST_F(SkinButtonLooks, Type5FlatFramesAndSunkenFace) {
    auto& b = Make(5);
    const Palette p = b.CurrentPalette();
    const Colour outer = S(p.shadow, -26);
    auto up = [&](const char* form) {
        ExpectPixels(b, form, {{4, 4, S(p.face, +12), "face"}, {1, H / 2, p.highlight, "inner left"},
                               {W / 2, 1, p.highlight, "inner top"}, {W - 1, H / 2, p.highlight, "right"},
                               {W / 2, H - 1, p.highlight, "bottom"}, {0, H / 2, outer, "outer left"},
                               {0, 0, outer, "outer corner"}, {W - 2, H / 2, outer, "outer right"},
                               {W / 2, H - 2, outer, "outer bottom"}, {1, H - 2, S(p.shadow, +26), "corner pixel"},
                               {W - 2, 1, S(p.shadow, +26), "corner pixel"}, {W - 1, 0, p.face, "cut corner"}});
    };
    up("up");
    Hover();
    up("hover");
    Leave();
    Press();
    ExpectPixels(b, "pressed", {{4, 4, S(p.shadow, +16), "face"}, {0, H / 2, outer, "frame"},
                                {W - 2, H / 2, outer, "frame right"}, {W - 1, H / 2, p.highlight, "light right"},
                                {W / 2, H - 1, p.highlight, "light bottom"}, {W - 1, 0, p.face, "cut corner"}});
    Release();
    b.SetEnabled(false);
    ExpectPixels(b, "disabled", {{0, 0, p.shadow, "frame"}, {W - 1, H / 2, p.shadow, "frame right"}, {4, 4, p.face, "face"}});
}

TEST_F(SkinButtonLooks, Type8WhiteTabShowsGreyEdgesOnlyWhenHoveredOrPressed) {
    container.userMode = true;
    auto& b = Make(8, 2);
    b.SetBackColor(0xFFFFFF);
    b.SetBackOver(0xFFFFFF);
    EXPECT_EQ(b.CurrentPalette().shadow, 0xBFBFBFu);
    ExpectPixels(b, "up", {{0, 0, 0xFFFFFF, "corner"}, {W - 1, H / 2, 0xFFFFFF, "right"}, {W / 2, H - 1, 0xFFFFFF, "bottom"}});
    Hover();
    ExpectPixels(b, "hover", {{0, H / 2, 0xFFFFFF, "left"}, {W - 1, H / 2, 0xBFBFBF, "right edge"},
                              {W / 2, H - 1, 0xBFBFBF, "bottom edge"}, {W - 2, H / 2, 0xFFFFFF, "one pixel wide"}});
    Leave();
    Press();
    ExpectPixels(b, "pressed", {{0, H / 2, 0xBFBFBF, "left edge"}, {W / 2, 0, 0xBFBFBF, "top edge"},
                                {W - 1, H / 2, 0xFFFFFF, "right"}, {1, H / 2, 0xFFFFFF, "one pixel wide"}});
    Release();

    // Hovering in the custom scheme draws the whole look from BackOver.
    b.SetBackOver(0xF0E0D0);
    Hover();
    ExpectPixels(b, "hover over colour", {{3, 3, 0xF0E0D0, "face"}, {W - 1, H / 2, 0xB0A090, "right edge"},
                                          {0, H / 2, 0xFFFFFF, "left edge"}});
    Leave();
    ExpectPixels(b, "up again", {{3, 3, 0xFFFFFF, "face"}});
    b.SetEnabled(false);
    ExpectPixels(b, "disabled", {{W - 1, H / 2, 0xFFFFFF, "no edge"}, {0, H / 2, 0xFFFFFF, "no edge"}});
}

TEST_F(SkinButtonLooks, Type13EllipseOutlineAndPressedFill) {
    auto& b = Make(13);
    const Palette p = b.CurrentPalette();
    ExpectPixels(b, "up", {{1, H / 2, p.face, "outline in face"}, {0, 0, p.face, "outside"}});
    Hover();
    ExpectPixels(b, "hover", {{1, H / 2, p.shadow, "outline"}, {W / 2, 1, p.shadow, "outline top"},
                              {W / 2, H - 2, p.shadow, "outline bottom"}, {6, H / 2, p.face, "fill"},
                              {0, 0, p.face, "outside"}});
    Leave();
    Press();
    ExpectPixels(b, "pressed", {{1, H / 2, p.darkShadow, "outline"}, {W - 2, H / 2, p.darkShadow, "outline right"},
                                {6, H / 2, S(p.face, -32), "fill"}, {0, 0, p.face, "outside"}});
    Release();
    b.SetEnabled(false);
    ExpectPixels(b, "disabled", {{1, H / 2, p.face, "no outline"}, {6, H / 2, p.face, "face"}});
}

TEST_F(SkinButtonLooks, Type14GradientFramesAndBands) {
    auto& b = Make(14);
    const Palette p = b.CurrentPalette();
    auto frames = [&](const char* form) {
        ExpectPixels(b, form, {{0, H / 2, S(p.shadow, -50), "outer frame"}, {W / 2, 0, S(p.shadow, -50), "outer top"},
                               {1, H / 2, S(p.face, -9), "inner frame"}, {W - 2, H / 2, S(p.face, -9), "inner right"},
                               {W / 2, 2, p.highlight, "top band"}, {W / 2, 3, p.highlight, "top band"},
                               {2, H / 2, p.highlight, "left band"}, {3, H / 2, p.highlight, "left band"}});
    };
    frames("up");
    ExpectPixels(b, "up", {{W - 4, H - 4, S(p.highlight, GradientStep(58, H - 4)), "gradient"}});
    Hover();
    frames("hover");
    ExpectPixels(b, "hover", {{W - 4, H - 4, p.light, "light fill"}});
    Leave();
    Press();
    ExpectPixels(b, "pressed", {{0, H / 2, S(p.shadow, -48), "frame"}, {W / 2, H - 2, p.highlight, "bottom light"},
                                {W - 2, H / 2, p.highlight, "right light"}, {4, 4, S(p.face, -9), "face"},
                                {W - 1, H / 2, S(p.shadow, -48), "frame right"}});
    Release();
    b.SetEnabled(false);
    frames("disabled");
    ExpectPixels(b, "disabled", {{W - 4, H - 4, S(p.highlight, GradientStep(58, H - 4)), "gradient"}});
}

TEST_F(SkinButtonLooks, MaskColourLetsTheFaceShowThroughThePicture) {
    auto& b = Make(10, 2);
    b.SetBackColor(0x00FF00);
    b.SetCaption("");
    b.SetPicturePosition(4);
    b.SetPictureNormal(HalfMaskedPicture(8, 8, 0x0000FF));
    // Centred: ((60 - 8) / 2, (24 - 8) / 2) = (26, 8); grey half 26..29, red half 30..33.
    EXPECT_EQ(b.Layout().picLeft, 26);
    EXPECT_EQ(b.Layout().picTop, 8);
    ExpectPixels(b, "masked", {{27, 10, 0x00FF00, "grey is transparent"}, {31, 10, 0x0000FF, "red drawn"}});
    b.SetUseMaskColor(false);
    ExpectPixels(b, "unmasked", {{27, 10, 0xC0C0C0, "grey drawn"}, {31, 10, 0x0000FF, "red drawn"}});
    b.SetUseGreyscale(true);
    ExpectPixels(b, "greyscale", {{31, 10, 0x4C4C4C, "red in grey"}});
    b.SetUseMaskColor(true);
    b.SetEnabled(false);
    const Palette p = b.CurrentPalette();
    ExpectPixels(b, "disabled silhouette", {{31, 10, p.shadow, "dark part"}, {27, 10, 0x00FF00, "grey transparent"},
                                            {34, 10, p.highlight, "highlight copy one right"}});
}

TEST_F(SkinButtonLooks, PictureOverAloneDrawsNothing) {
    auto& b = Make(10, 2);
    b.SetBackColor(0x00FF00);
    b.SetBackOver(0x00FF00);
    b.SetCaption("");
    b.SetPictureOver(HalfMaskedPicture(8, 8, 0x0000FF));
    Hover();
    ExpectPixels(b, "hover", {{31, 10, 0x00FF00, "no picture"}});
}

TEST_F(SkinButtonLooks, ReliefCopiesOfThePictureSitOnePixelAway) {
    auto& b = Make(8, 2);
    b.SetBackColor(0x808080);
    b.SetBackOver(0x808080);
    b.SetCaption("");
    b.SetUseMaskColor(false);
    b.SetPictureNormal(HalfMaskedPicture(8, 8, 0x0000FF));  // picture at (26, 8)..(33, 15)
    b.SetSpecialEffect(1);
    ExpectPixels(b, "raised", {{34, 16, S(0x808080, -40), "darker copy right and down"},
                               {25, 7, S(0x808080, +40), "lighter copy left and up"}, {30, 10, 0x0000FF, "picture"}});
    b.SetSpecialEffect(3);
    ExpectPixels(b, "shadow", {{34, 16, S(0x808080, -40), "darker copy"}, {25, 7, 0x808080, "no lighter copy"}});
}

TEST_F(SkinButtonLooks, CaptionRedrawnOverACentredPictureLandsOnTheLooksOwnCaption) {
    // A picture that is all mask colour shows nothing, so the caption drawn again above it
    // may only deepen the caption's own pixels (smoothed edges), never ink the bare face.
    auto inkOnBareFace = [&](Colour face, auto&& enterForm, auto&& leaveForm) {
        button->SetPictureNormal(nullptr);
        enterForm();
        std::vector<Colour> plain;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) plain.push_back(button->Image().PixelAt(x, y));
        leaveForm();
        button->SetPictureNormal(HalfMaskedPicture(8, 8, 0xC0C0C0));
        enterForm();
        int stray = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                stray += plain[y * W + x] == face && button->Image().PixelAt(x, y) != face;
        leaveForm();
        return stray;
    };
    auto& five = Make(5);
    five.SetPicturePosition(4);
    EXPECT_EQ(inkOnBareFace(S(five.CurrentPalette().shadow, +16), [&] { Press(); }, [&] { Release(); }), 0)
        << "type 5 pressed";

    auto& fourteen = Make(14);
    fourteen.SetPicturePosition(4);
    container.defaultButton = &fourteen;
    EXPECT_EQ(inkOnBareFace(fourteen.CurrentPalette().light, [&] { Hover(); }, [&] { Leave(); }), 0)
        << "type 14 default, hovering";
    container.defaultButton = nullptr;
}
