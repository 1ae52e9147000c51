// The per-pixel rule of the button's picture transfer.
#include <gtest/gtest.h>

#include <vector>

#include "ui/widgets/SkinPixels.h"

using namespace corvale;

namespace {
// A one-row buffer of the given colours (blue, green, red per pixel, padded to four bytes).
std::vector<uint8_t> Row(std::initializer_list<Colour> colours) {
    std::vector<uint8_t> bytes(RowStride24(static_cast<int>(colours.size())), 0xEE);
    std::size_t i = 0;
    for (Colour c : colours) {
        bytes[i++] = static_cast<uint8_t>(BlueOf(c));
        bytes[i++] = static_cast<uint8_t>(GreenOf(c));
        bytes[i++] = static_cast<uint8_t>(RedOf(c));
    }
    return bytes;
}

Colour At(const std::vector<uint8_t>& bytes, int index) {
    std::size_t i = static_cast<std::size_t>(index) * 3;
    return MakeColour(bytes[i + 2], bytes[i + 1], bytes[i]);
}

constexpr Colour kFace = 0x00FF00;
}  // namespace

TEST(SkinPixels, MaskColourLeavesTheTargetShowingThrough) {
    auto picture = Row({0xC0C0C0, 0x0000FF, 0xC0C0C1});
    auto target = Row({kFace, kFace, kFace});
    BlendOptions masked;
    masked.transparent = 0xC0C0C0;
    BlendPixels(target, picture, 3, 1, masked);
    EXPECT_EQ(At(target, 0), kFace);
    EXPECT_EQ(At(target, 1), 0x0000FFu);
    EXPECT_EQ(At(target, 2), 0xC0C0C1u) << "only the exact mask colour is transparent";
    EXPECT_EQ(target[9], 0xEE) << "row padding untouched";

    auto unmasked = Row({kFace, kFace, kFace});
    BlendPixels(unmasked, picture, 3, 1, BlendOptions{});
    EXPECT_EQ(At(unmasked, 0), 0xC0C0C0u);
}

TEST(SkinPixels, DarkOnlySilhouettePaintsUpToTheThreshold) {
    // 128 + 128 + 128 = 384 is still dark; 129 + 128 + 128 is light.
    auto picture = Row({MakeColour(128, 128, 128), MakeColour(129, 128, 128), 0});
    auto target = Row({kFace, kFace, kFace});
    BlendOptions o;
    o.solid = 0x123456;
    o.darkOnly = true;
    BlendPixels(target, picture, 3, 1, o);
    EXPECT_EQ(At(target, 0), 0x123456u);
    EXPECT_EQ(At(target, 1), kFace);
    EXPECT_EQ(At(target, 2), 0x123456u);

    o.darkOnly = false;
    o.transparent = 0u;
    auto solid = Row({kFace, kFace, kFace});
    BlendPixels(solid, picture, 3, 1, o);
    EXPECT_EQ(At(solid, 1), 0x123456u);
    EXPECT_EQ(At(solid, 2), kFace) << "the mask still applies to silhouettes";
}

TEST(SkinPixels, GreyscaleAndBlendFormulas) {
    EXPECT_EQ(GreyOf(255, 255, 255), 254) << "round(76.5) + 150.45 + 28.05 = 254.5, halves to even";
    EXPECT_EQ(GreyOf(0, 0, 0), 0);
    EXPECT_EQ(GreyOf(5, 0, 0), 2) << "round(1.5) is 2, halves to even";
    EXPECT_EQ(GreyOf(15, 0, 0), 4) << "round(4.5) is 4, halves to even";
    EXPECT_EQ(GreyOf(200, 50, 40), 94);  // 60 + 29.5 + 4.4 = 93.9

    auto picture = Row({MakeColour(200, 50, 40)});
    auto grey = Row({kFace});
    BlendOptions g;
    g.greyscale = true;
    BlendPixels(grey, picture, 1, 1, g);
    EXPECT_EQ(At(grey, 0), MakeColour(94, 94, 94));

    auto mixed = Row({MakeColour(10, 255, 0)});
    BlendOptions b;
    b.blend = true;
    BlendPixels(mixed, picture, 1, 1, b);
    // (10 + 400) / 3, (255 + 100) / 3, (0 + 80) / 3
    EXPECT_EQ(At(mixed, 0), MakeColour(136, 118, 26));
}

TEST(SkinPixels, NearestColourDecidesTransparencyButNotTheCopy) {
    auto picture = Row({0xC1C1C1, 0x0000FF});
    auto target = Row({kFace, kFace});
    BlendOptions o;
    o.transparent = 0xC0C0C0;
    o.nearest = [](Colour c) { return c == 0xC1C1C1 ? 0xC0C0C0u : c; };
    BlendPixels(target, picture, 2, 1, o);
    EXPECT_EQ(At(target, 0), kFace);
    EXPECT_EQ(At(target, 1), 0x0000FFu);
}

TEST(SkinPixels, RowsArePaddedAndShortBuffersAreRefused) {
    // Two rows of one pixel: stride 4.
    std::vector<uint8_t> picture = {1, 2, 3, 0, 4, 5, 6, 0};
    std::vector<uint8_t> target(8, 9);
    BlendPixels(target, picture, 1, 2, BlendOptions{});
    EXPECT_EQ(target, (std::vector<uint8_t>{1, 2, 3, 9, 4, 5, 6, 9}));

    std::vector<uint8_t> shortTarget(7, 9);
    BlendPixels(shortTarget, picture, 1, 2, BlendOptions{});
    EXPECT_EQ(shortTarget, std::vector<uint8_t>(7, 9));
    BlendPixels(target, picture, 0, 2, BlendOptions{});
    BlendPixels(target, picture, -1, -1, BlendOptions{});
}
