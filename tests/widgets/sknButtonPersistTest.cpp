// Properties of the skinned button and their persistence under the short keys.
#include <gtest/gtest.h>

#include "SkinTestContainer.h"
#include "WinTestSupport.h"

using namespace corvale;
using namespace corvale::test;

namespace {

// A 4 x 2 JPEG filled with red 200, green 50, blue 40.
const uint8_t kSmallJpeg[] = {
  0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00,
  0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
  0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
  0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
  0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0xff, 0xdb, 0x00, 0x43, 0x01, 0x01,
  0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
  0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
  0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
  0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0xff, 0xc0, 0x00, 0x11, 0x08, 0x00, 0x02, 0x00, 0x04, 0x03, 0x01, 0x11, 0x00,
  0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xff, 0xc4, 0x00, 0x14, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00,
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xc4, 0x00, 0x15, 0x01, 0x01, 0x01,
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x0a, 0xff, 0xc4, 0x00,
  0x14, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
  0xff, 0xda, 0x00, 0x0c, 0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3f, 0x00, 0x3b, 0xc0, 0xf5, 0x30, 0x3f,
  0xff, 0xd9};

const std::vector<std::string> kKeysInOrder = {"BTYPE", "TX",    "ENAB",  "FONT",   "COLTYPE", "FOCUSR",
                                               "BCOL",  "BCOLO", "FCOL",  "FCOLO",  "MCOL",    "MPTR",
                                               "MICON", "PICN",  "PICH",  "UMCOL",  "SOFT",    "PICPOS",
                                               "NGREY", "FX",    "HAND",  "CHECK",  "VALUE"};

class SkinButtonProperties : public SkinButtonSuite<200, 120> {
protected:
    std::unique_ptr<sknButton> Make() {
        return std::make_unique<sknButton>(host.Handle(), container, 10, 10, 47, 53);
    }
};

}  // namespace

TEST_F(SkinButtonProperties, EveryKeyIsWrittenInLoadingOrderEvenAtItsDefault) {
    auto button = Make();
    PropertyBag bag;
    button->WriteProperties(bag);
    EXPECT_EQ(bag.Keys(), kKeysInOrder);
    EXPECT_EQ(bag.ReadText("TX", "?"), "");
    EXPECT_TRUE(bag.ReadBytes("PICN").empty());
}

TEST_F(SkinButtonProperties, PreferencesTabDesignRoundTrips) {
    auto button = Make();
    auto jpeg = std::make_shared<Picture>(Picture::FromBytes(kSmallJpeg));
    ASSERT_FALSE(jpeg->Empty());
    button->SetButtonType(8);
    button->SetColorScheme(2);
    button->SetShowFocusRect(false);
    button->SetBackColor(0xFFFFFF);
    button->SetBackOver(0xFFFFFF);
    button->SetForeColor(0);
    button->SetForeOver(0);
    button->SetMousePointer(1);
    button->SetPictureNormal(jpeg);
    button->SetPictureOver(jpeg);
    button->SetUseMaskColor(false);
    button->SetPicturePosition(2);
    button->SetCaption("Colors");
    SkinFontSpec font;
    font.size = 8.25;
    button->SetFont(font);

    PropertyBag bag;
    button->WriteProperties(bag);
    auto text = bag.Serialize();
    auto parsed = PropertyBag::Parse(text);
    ASSERT_TRUE(parsed);

    auto loaded = Make();
    int changes = container.changes;
    loaded->ReadProperties(*parsed);
    EXPECT_EQ(container.changes, changes) << "loading marks nothing changed";
    EXPECT_EQ(loaded->ButtonType(), 8);
    EXPECT_EQ(loaded->ColorScheme(), 2);
    EXPECT_FALSE(loaded->ShowFocusRect());
    EXPECT_EQ(loaded->BackColor(), 0xFFFFFFu);
    EXPECT_EQ(loaded->ForeOver(), 0u);
    EXPECT_EQ(loaded->Caption(), "Colors");
    EXPECT_EQ(loaded->PicturePosition(), 2);
    EXPECT_FALSE(loaded->UseMaskColor());
    EXPECT_EQ(loaded->Font(), font);
    EXPECT_EQ(loaded->MousePointer(), 1);
    ASSERT_TRUE(loaded->PictureNormal());
    EXPECT_EQ(loaded->PictureNormal()->Width(), 4);
    ASSERT_TRUE(loaded->PictureOver());
    EXPECT_EQ(loaded->CurrentPalette().shadow, 0xBFBFBFu);
    EXPECT_EQ(loaded->Layout().picTop + 2 + 2, loaded->Layout().textRect.top)
        << "the 2-pixel-high picture sits two pixels above the caption";
}

TEST_F(SkinButtonProperties, StoredLowerCaseKeysLoadAndOverColoursFallBack) {
    auto bag = PropertyBag::Parse("_extentx = \"1244\"\n_extenty = \"1402\"\nbtype = \"14\"\nbcol = \"255\"\n"
                                  "fcol = \"65280\"\ntx = \"&&x &y\"\nenab = \"0\"\n");
    ASSERT_TRUE(bag);
    auto button = Make();
    button->ReadProperties(*bag);
    EXPECT_EQ(button->ButtonType(), 14);
    EXPECT_EQ(button->BackColor(), 0x0000FFu);
    EXPECT_EQ(button->BackOver(), 0x0000FFu) << "BCOLO missing reads as the loaded BCOL";
    EXPECT_EQ(button->ForeOver(), 0x00FF00u);
    EXPECT_EQ(button->AccessKey(), 'y');
    EXPECT_FALSE(button->Enabled());
    EXPECT_FALSE(IsWindowEnabled(button->hWnd()));
    EXPECT_EQ(button->MaskColor(), 0xC0C0C0u);
    EXPECT_TRUE(button->UseMaskColor());
    EXPECT_EQ(button->ColorScheme(), 1);
}

TEST_F(SkinButtonProperties, HandPointerWinsOverStoredPointerAndIcon) {
    auto withHand = PropertyBag::Parse("MPTR = \"5\"\nHAND = \"True\"\n");
    auto without = PropertyBag::Parse("MPTR = \"5\"\nHAND = \"False\"\n");
    auto button = Make();
    button->ReadProperties(*withHand);
    EXPECT_TRUE(button->HandPointer());
    EXPECT_EQ(button->MousePointer(), 99);
    button->ReadProperties(*without);
    EXPECT_EQ(button->MousePointer(), 1);
    EXPECT_FALSE(button->MouseIcon());
}

TEST_F(SkinButtonProperties, UnreadableStoredValuesKeepTheirDefaults) {
    auto bag = PropertyBag::Parse("FONT = \"garbage\"\nPICN = \"not a picture\"\nBTYPE = \"x\"\n");
    ASSERT_TRUE(bag);
    auto button = Make();
    SkinFontSpec before = button->Font();
    button->ReadProperties(*bag);
    EXPECT_EQ(button->Font(), before);
    EXPECT_FALSE(button->PictureNormal());
    EXPECT_EQ(button->ButtonType(), 2);
}

TEST_F(SkinButtonProperties, DesignTimeSettersCopyOverColoursAndBoldenType5) {
    container.userMode = false;
    auto button = Make();
    button->SetBackColor(0x112233);
    button->SetForeColor(0x445566);
    EXPECT_EQ(button->BackOver(), 0x112233u);
    EXPECT_EQ(button->ForeOver(), 0x445566u);
    button->SetButtonType(5);
    EXPECT_TRUE(button->FontBold());

    container.userMode = true;
    auto running = Make();
    running->SetBackColor(0x112233);
    EXPECT_NE(running->BackOver(), 0x112233u);
    running->SetButtonType(5);
    EXPECT_FALSE(running->FontBold());
}

TEST_F(SkinButtonProperties, NewButtonTakesTheContainersNameFontAndSystemColours) {
    container.displayName = "cmdToolBar";
    container.font.name = "Tahoma";
    auto button = Make();
    button->InitNew();
    EXPECT_EQ(button->Caption(), "cmdToolBar");
    EXPECT_EQ(button->FontName(), "Tahoma");
    EXPECT_EQ(button->ButtonType(), 2);
    EXPECT_EQ(button->BackColor(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(button->ForeOver(), GetSysColor(COLOR_BTNTEXT));
    EXPECT_STREQ(sknButton::Version(), "2.0.6 B");
}

TEST_F(SkinButtonProperties, SettersMarkChangedAndFontSizeReadsRounded) {
    auto button = Make();
    int changes = container.changes;
    button->SetFontSize(10);
    button->SetFontItalic(true);
    button->SetSpecialEffect(2);
    button->SetHandPointer(true);
    EXPECT_EQ(container.changes, changes + 4);
    EXPECT_EQ(button->FontSize(), 10);
    SkinFontSpec f = button->Font();
    f.size = 8.25;
    button->SetFont(f);
    EXPECT_EQ(button->FontSize(), 8);
    button->SetFontSize(0);
    EXPECT_EQ(button->FontSize(), 8) << "a size of nothing is refused";
    EXPECT_EQ(button->MousePointer(), 99);
}
