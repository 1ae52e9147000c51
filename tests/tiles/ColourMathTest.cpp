#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "ui/tiles/cColourise.h"
#include "ui/tiles/mHLSRGB.h"

namespace corvale {
namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
void PrintTo(const Rgb& c, std::ostream* os) { *os << "(" << c.r << ", " << c.g << ", " << c.b << ")"; }

// A bitmap-like buffer of 24-bit pixels with padded rows.
struct Pixels {
    Pixels(int width, int height) : width(width), height(height), bytes(BytesPerScanLine(width) * height, 0) {}
    PixelGrid Grid() { return {bytes.data(), width, height, BytesPerScanLine(width)}; }
    void Set(int x, int y, Rgb c) {
        uint8_t* p = &bytes[y * BytesPerScanLine(width) + x * 3];
        p[0] = static_cast<uint8_t>(c.b), p[1] = static_cast<uint8_t>(c.g), p[2] = static_cast<uint8_t>(c.r);
    }
    void Fill(Rgb c) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) Set(x, y, c);
    }
    Rgb At(int x, int y) const {
        const uint8_t* p = &bytes[y * BytesPerScanLine(width) + x * 3];
        return {p[2], p[1], p[0]};
    }
    int width, height;
    std::vector<uint8_t> bytes;
};

Rgb Colourise(Rgb in, int hue, int saturation) {
    Pixels src(1, 1), dst(1, 1);
    src.Set(0, 0, in);
    cColourise c;
    c.SetHue(hue);
    c.SetSaturation(saturation);
    EXPECT_EQ(c.Process(src.Grid(), dst.Grid()), ColourStatus::Ok);
    return dst.At(0, 0);
}

TEST(ColourMaths, DocumentedExamplePixels) {
    const Rgb grey{128, 128, 128};
    EXPECT_EQ(Colourise(grey, 0, 0), grey);
    EXPECT_EQ(Colourise(grey, 43, 255), (Rgb{255, 4, 1}));
    EXPECT_EQ(Colourise(grey, 43, 200), (Rgb{228, 31, 28}));
    EXPECT_EQ(Colourise(grey, 185, 145), (Rgb{56, 149, 200}));
    EXPECT_EQ(Colourise(grey, 185, 40), (Rgb{108, 134, 148}));
    // Both ends of the hue scale are magenta.
    EXPECT_EQ(Colourise(grey, 255, 255), (Rgb{255, 1, 255}));
    EXPECT_EQ(Colourise(grey, 0, 255), (Rgb{255, 1, 255}));
}

TEST(ColourMaths, BlackAndWhiteStayForAnyPairInRange) {
    for (int hue : {0, 43, 100, 185, 255})
        for (int saturation : {0, 1, 145, 255}) {
            EXPECT_EQ(Colourise({0, 0, 0}, hue, saturation), (Rgb{0, 0, 0})) << hue << "/" << saturation;
            EXPECT_EQ(Colourise({255, 255, 255}, hue, saturation), (Rgb{255, 255, 255})) << hue << "/" << saturation;
        }
}

TEST(ColourMaths, ColourisingKeepsLightnessOfColouredInput) {
    // A coloured pixel loses its own hue: only its lightness (max+min)/2 counts.
    EXPECT_EQ(Colourise({200, 40, 90}, 0, 0), (Rgb{120, 120, 120}));
    EXPECT_EQ(Colourise({10, 250, 10}, 0, 0), Colourise({130, 130, 130}, 0, 0));
}

TEST(ColourMaths, HlsFromRgbSectorsAndSaturationBranches) {
    float h, s, l;
    mHLSRGB::HlsFromRgb(255, 0, 0, h, s, l);
    EXPECT_FLOAT_EQ(h, 0.0f);
    EXPECT_FLOAT_EQ(s, 1.0f);
    EXPECT_FLOAT_EQ(l, 0.5f);
    mHLSRGB::HlsFromRgb(0, 255, 0, h, s, l);
    EXPECT_FLOAT_EQ(h, 2.0f);
    mHLSRGB::HlsFromRgb(0, 0, 255, h, s, l);
    EXPECT_FLOAT_EQ(h, 4.0f);
    mHLSRGB::HlsFromRgb(255, 0, 255, h, s, l);  // red tested first: magenta is sector -1
    EXPECT_FLOAT_EQ(h, -1.0f);
    mHLSRGB::HlsFromRgb(255, 255, 0, h, s, l);  // red before green on a tie
    EXPECT_FLOAT_EQ(h, 1.0f);
    mHLSRGB::HlsFromRgb(51, 102, 51, h, s, l);  // dark: S = (max-min)/(max+min)
    EXPECT_FLOAT_EQ(s, static_cast<float>((0.4 - 0.2) / 0.6));
    mHLSRGB::HlsFromRgb(204, 255, 204, h, s, l);  // light: S = (max-min)/(2-max-min)
    EXPECT_NEAR(s, 1.0, 1e-6);
    mHLSRGB::HlsFromRgb(77, 77, 77, h, s, l);
    EXPECT_EQ(h, 0.0f);
    EXPECT_EQ(s, 0.0f);
}

TEST(ColourMaths, RgbFromHlsRoundsHalfToEven) {
    // Only dyadic lightness values give exact ties: 0.5 * 255 = 127.5, 1.5 * 255 = 382.5.
    int32_t r, g, b;
    mHLSRGB::RgbFromHls(0, 0, 0.5f, r, g, b);
    EXPECT_EQ(r, 128);
    mHLSRGB::RgbFromHls(0, 0, 1.5f, r, g, b);
    EXPECT_EQ(r, 382);
}

TEST(ColourMaths, MaxAndMinOfThree) {
    const std::array<std::array<float, 3>, 6> orders{{{1, 2, 3}, {1, 3, 2}, {2, 1, 3}, {2, 3, 1}, {3, 1, 2}, {3, 2, 1}}};
    for (auto o : orders) {
        EXPECT_EQ(mHLSRGB::MaxOfThree(o[0], o[1], o[2]), 3.0f);
        EXPECT_EQ(mHLSRGB::MinOfThree(o[0], o[1], o[2]), 1.0f);
    }
    EXPECT_EQ(mHLSRGB::MaxOfThree(2, 2, 1), 2.0f);
    EXPECT_EQ(mHLSRGB::MinOfThree(1, 1, 2), 1.0f);
}

TEST(ColourMaths, BytesPerScanLineRoundsRowsToFourBytes) {
    EXPECT_EQ(BytesPerScanLine(179), 540);
    EXPECT_EQ(BytesPerScanLine(4), 12);
    EXPECT_EQ(BytesPerScanLine(1), 4);
    EXPECT_EQ(BytesPerScanLine(0), 0);
    EXPECT_EQ(BytesPerScanLine(-5), 0);
}

TEST(Colourise, WholeTileLeavesSourceUnchangedAndFillsEveryPixel) {
    Pixels src(179, 28), dst(179, 28);
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 179; ++x) src.Set(x, y, {x % 256, (y * 9) % 256, (x + y) % 256});
    const auto before = src.bytes;
    cColourise c;
    c.SetHue(185);
    c.SetSaturation(145);
    ASSERT_EQ(c.Process(src.Grid(), dst.Grid()), ColourStatus::Ok);
    EXPECT_EQ(src.bytes, before);
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 179; ++x) {
            Rgb in = src.At(x, y);
            ASSERT_EQ(dst.At(x, y), Colourise(in, 185, 145)) << x << "," << y;
        }
}

TEST(Colourise, OutOfRangePairReportsOverflowAndStopsThere) {
    Pixels src(4, 2), dst(4, 2);
    src.Fill({128, 128, 128});
    src.Set(0, 0, {0, 0, 0});  // black fits whatever the pair: L = 0
    src.Set(0, 1, {0, 0, 0});
    std::fill(dst.bytes.begin(), dst.bytes.end(), 0xEE);
    cColourise c;
    c.SetHue(300);
    c.SetSaturation(255);
    EXPECT_EQ(c.Process(src.Grid(), dst.Grid()), ColourStatus::Overflow);
    // Column 0 (both rows) was walked first and kept; the failing pixel and all after it
    // were not completed.
    EXPECT_EQ(dst.At(0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(dst.At(0, 1), (Rgb{0, 0, 0}));
    EXPECT_EQ(dst.At(3, 1), (Rgb{0xEE, 0xEE, 0xEE}));

    for (auto [hue, saturation] : {std::pair{-1, 255}, {0, 300}, {0, -300}, {INT32_MAX, 255}, {128, INT32_MIN}}) {
        c.SetHue(hue);
        c.SetSaturation(saturation);
        EXPECT_EQ(c.Process(src.Grid(), dst.Grid()), ColourStatus::Overflow) << hue << "/" << saturation;
    }
}

TEST(Colourise, RefusesGridsThatDoNotMatch) {
    Pixels src(5, 3), small(4, 3), shorter(5, 2);
    cColourise c;
    EXPECT_EQ(c.Process(src.Grid(), small.Grid()), ColourStatus::SizeMismatch);
    EXPECT_EQ(c.Process(src.Grid(), shorter.Grid()), ColourStatus::SizeMismatch);
    EXPECT_EQ(c.Process(src.Grid(), PixelGrid{}), ColourStatus::NoPixels);
}

}  // namespace
}  // namespace corvale
