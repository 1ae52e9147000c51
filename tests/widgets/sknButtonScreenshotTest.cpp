// A contact sheet of every look in its four forms, for a person to look at.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "PngWriter.h"
#include "SkinPixelProbe.h"
#include "SkinTestContainer.h"
#include "WinTestSupport.h"

using namespace corvale;
using namespace corvale::test;

#ifndef CORVALE_SCREENSHOT_DIR
#define CORVALE_SCREENSHOT_DIR "screenshots"
#endif

namespace {

constexpr int kCellW = 96, kCellH = 36, kBtnW = 84, kBtnH = 26, kForms = 4, kRows = 16;
constexpr Colour kSheetBack = 0xE8E0D8;

class ContactSheet {
public:
    ContactSheet() : rgb_(static_cast<std::size_t>(Width()) * Height() * 3) {
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x) Put(x, y, kSheetBack);
    }
    static int Width() { return kCellW * kForms; }
    static int Height() { return kCellH * kRows; }

    // Copies the button's image into a cell, leaving out what its shape cuts away.
    int Paste(const sknButton& button, int column, int row) {
        HRGN shape = CreateRectRgn(0, 0, 0, 0);
        bool shaped = GetWindowRgn(button.hWnd(), shape) != ERROR;
        int ox = column * kCellW + (kCellW - kBtnW) / 2, oy = row * kCellH + (kCellH - kBtnH) / 2;
        int distinct = 0;
        Colour first = button.Image().PixelAt(kBtnW / 2, kBtnH / 2);
        for (int y = 0; y < kBtnH; ++y)
            for (int x = 0; x < kBtnW; ++x) {
                if (shaped && !PtInRegion(shape, x, y)) continue;
                Colour c = button.Image().PixelAt(x, y);
                if (c != first) ++distinct;
                Put(ox + x, oy + y, c);
            }
        DeleteObject(shape);
        return distinct;
    }
    bool Save(const std::string& path) const { return WritePng(path, Width(), Height(), rgb_); }

private:
    void Put(int x, int y, Colour c) {
        std::size_t i = (static_cast<std::size_t>(y) * Width() + x) * 3;
        rgb_[i] = static_cast<uint8_t>(RedOf(c));
        rgb_[i + 1] = static_cast<uint8_t>(GreenOf(c));
        rgb_[i + 2] = static_cast<uint8_t>(BlueOf(c));
    }
    std::vector<uint8_t> rgb_;
};

}  // namespace

TEST(SkinButtonScreenshot, AllFourteenLooksInTheirFourForms) {
    PlaceCursorAway();
    TestHostWindow host(kBtnW + 40, kBtnH + 40);
    SkinTestContainer container;
    container.backColor = 0xF0E8E0;
    ContactSheet sheet;
    auto picture = HalfMaskedPicture(12, 12, 0x3060C0);

    // Rows 0..13: types 1..14 in the grey scheme; row 14: the preferences tab look
    // (type 8, scheme 2, white) with a picture above; row 15: type 9 with relief and a picture.
    for (int row = 0; row < kRows; ++row) {
        sknButton button(host.Handle(), container, 10, 10, kBtnW, kBtnH);
        int type = row < 14 ? row + 1 : (row == 14 ? 8 : 9);
        button.SetColorScheme(row == 14 ? 2 : 3);
        if (row == 14) {
            button.SetBackColor(0xFFFFFF);
            button.SetBackOver(0xFFFFFF);
            button.SetForeColor(0);
            button.SetForeOver(0);
            button.SetPicturePosition(0);
            button.SetPictureNormal(picture);
        }
        if (row == 15) {
            button.SetSpecialEffect(1);
            button.SetPictureNormal(picture);
        }
        button.SetButtonType(type);
        button.SetCaption(type == 10 ? "Hidden" : "&Save");
        PumpMessages();

        int up = sheet.Paste(button, 0, row);
        HoverAt(button.hWnd(), kBtnW / 2, kBtnH / 2);
        sheet.Paste(button, 1, row);
        PlaceCursorAway();
        for (int i = 0; i < 50 && button.IsOver(); ++i) PumpMessagesFor(10);
        SendKey(button.hWnd(), WM_KEYDOWN, VK_SPACE);
        sheet.Paste(button, 2, row);
        SendKey(button.hWnd(), WM_KEYUP, VK_SPACE);
        button.SetEnabled(false);
        sheet.Paste(button, 3, row);
        if (type != 10 && type != 11) {
            EXPECT_GT(up, 10) << "type " << type << " draws more than its face";
        }
    }

    std::filesystem::create_directories(CORVALE_SCREENSHOT_DIR);
    const std::string path = std::string(CORVALE_SCREENSHOT_DIR) + "/buttons.png";
    ASSERT_TRUE(sheet.Save(path));
    EXPECT_GT(std::filesystem::file_size(path), static_cast<std::uintmax_t>(ContactSheet::Width() * ContactSheet::Height()));
    std::printf("contact sheet: %s\n", path.c_str());
}
