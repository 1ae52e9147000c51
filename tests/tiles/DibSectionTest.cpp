#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "WinTestSupport.h"
#include "ui/tiles/TileDesigns.h"
#include "ui/tiles/cDIBSection.h"
#include "ui/base/DibSurface.h"
#include "ui/base/Picture.h"

namespace corvale {
namespace {

TEST(cDIBSection, CreateGivesA24BitBottomUpSection) {
    cDIBSection section;
    ASSERT_TRUE(section.Create(179, 28));
    EXPECT_EQ(section.Width(), 179);
    EXPECT_EQ(section.Height(), 28);
    EXPECT_EQ(section.BytesPerScanLine(), 540);
    ASSERT_NE(section.DIBSectionBitsPtr(), nullptr);
    BITMAP info{};
    ASSERT_TRUE(GetObjectA(section.hDib(), sizeof info, &info));
    EXPECT_EQ(info.bmBitsPixel, 24);
    EXPECT_EQ(GetCurrentObject(section.hdc(), OBJ_BITMAP), section.hDib());

    // Row 0 of the bytes is the bottom row of the picture.
    section.DIBSectionBitsPtr()[2] = 0xFF;  // red of the bottom-left pixel
    GdiFlush();
    EXPECT_EQ(GetPixel(section.hdc(), 0, 27), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(section.hdc(), 0, 0), RGB(0, 0, 0));
}

TEST(cDIBSection, FailedOrClearedSectionIsEmptyAndPaintsNothing) {
    cDIBSection section;
    EXPECT_FALSE(section.Create(0, 5));
    EXPECT_EQ(section.hdc(), nullptr);
    EXPECT_EQ(section.hDib(), nullptr);
    EXPECT_EQ(section.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(section.Width(), 0);
    EXPECT_EQ(section.BytesPerScanLine(), 0);
    EXPECT_EQ(section.Pixels().bits, nullptr);

    cDIBSection target;
    ASSERT_TRUE(target.Create(4, 4));
    std::fill_n(target.DIBSectionBitsPtr(), 4 * 12, uint8_t{0x55});
    section.PaintPicture(target.hdc());
    GdiFlush();
    EXPECT_EQ(GetPixel(target.hdc(), 0, 0), RGB(0x55, 0x55, 0x55));

    ASSERT_TRUE(section.Create(3, 3));
    section.ClearUp();
    EXPECT_EQ(section.hdc(), nullptr);
    EXPECT_EQ(section.Height(), 0);
}

TEST(cDIBSection, PaintPictureWithNegativeSizePaintsExactlyTheSection) {
    cDIBSection small, target;
    ASSERT_TRUE(small.Create(4, 3));
    ASSERT_TRUE(target.Create(10, 10));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) small.DIBSectionBitsPtr()[y * small.BytesPerScanLine() + x * 3 + 2] = 0xFF;
    std::fill_n(target.DIBSectionBitsPtr(), target.BytesPerScanLine() * 10, uint8_t{0xFF});
    small.PaintPicture(target.hdc(), 2, 2, -1, -1, 0, 0, SRCCOPY);
    GdiFlush();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 2 && y < 5;
            EXPECT_EQ(GetPixel(target.hdc(), x, y), inside ? RGB(255, 0, 0) : RGB(255, 255, 255)) << x << "," << y;
        }
}

TEST(cDIBSection, RepeatedCreateKeepsOnlyTheLastBitmapAlive) {
    cDIBSection section;
    ASSERT_TRUE(section.Create(8, 8));
    const long before = test::GdiObjectGauge();
    for (int i = 0; i < 2000; ++i) ASSERT_TRUE(section.Create(8 + i % 3, 8));
    EXPECT_LT(test::GdiObjectGauge() - before, 20) << "earlier bitmaps or contexts were not released";
    EXPECT_EQ(GetObjectType(section.hDib()), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(GetObjectType(section.hdc()), static_cast<DWORD>(OBJ_MEMDC));
}

TEST(cDIBSection, CreateFromPictureCopiesTheTileBackgroundWhole) {
    const PixelView artwork = TileBackgroundPixels();
    ASSERT_NE(artwork.bits, nullptr);
    DibBits drawn = CreateDib(nullptr, artwork.width, artwork.height, 24, false);
    ASSERT_TRUE(drawn);
    std::memcpy(drawn.bits, artwork.bits, static_cast<std::size_t>(artwork.bytesPerRow) * artwork.height);
    Picture picture = Picture::FromBitmap(drawn.bitmap.Release());
    cDIBSection section;
    ASSERT_TRUE(section.CreateFromPicture(picture));
    EXPECT_EQ(section.Width(), 179);
    EXPECT_EQ(section.Height(), 28);
    PixelGrid pixels = section.Pixels();
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 537; ++x)
            ASSERT_EQ(pixels.bits[y * 540 + x], artwork.bits[y * 540 + x]) << "row " << y << " byte " << x;

    cDIBSection none;
    EXPECT_FALSE(none.CreateFromPicture(Picture{}));
    EXPECT_EQ(none.hDib(), nullptr);
}

}  // namespace
}  // namespace corvale
