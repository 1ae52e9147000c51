#include <gtest/gtest.h>

#include <vector>

#include "ui/tiles/SiteStatModel.h"
#include "ui/tiles/TileDesigns.h"

namespace corvale {
namespace {

TEST(SiteStatModel, AddressIsShortenedFromNineteenCharacters) {
    EXPECT_EQ(ShortenAddress("abcdefghijklmnopqr"), "abcdefghijklmnopqr");  // 18
    EXPECT_EQ(ShortenAddress("abcdefghijklmnopqrs"), "abcdefghijklmnopqr...");  // 19
    EXPECT_EQ(ShortenAddress("www.a-rather-long-site-name.example"), "www.a-rather-long-...");
    EXPECT_EQ(ShortenAddress(""), "");
    // Characters, not bytes: a UTF-8 address is cut between characters, never inside one.
    const std::string cyrillic18 = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xBC\xD0\xB5\xD1\x80-abcdefghijk";
    EXPECT_EQ(ShortenAddress(cyrillic18), cyrillic18);
    EXPECT_EQ(ShortenAddress(cyrillic18 + "\xE4\xBE\x8B\xF0\x9F\x98\x80"), cyrillic18 + "...");
}

TEST(SiteStatModel, PropertiesRoundTripAndDefaultsStayUnwritten) {
    PropertyBag bag;
    WriteSiteStatProperties(SiteStatProperties{}, bag);
    EXPECT_EQ(bag.size(), 0u);

    SiteStatProperties p;
    p.siteUrl = "host.example";
    p.pingValue = "Not responding";
    p.normal = {1, 2};
    p.error = {3, 4};
    p.select = {5, 6};
    p.defaultControl = true;
    p.selected = true;
    WriteSiteStatProperties(p, bag);
    EXPECT_EQ(bag.Keys(), (std::vector<std::string>{"SiteURL", "PingValue", "BackHue", "BackSaturation",
                                                     "BackHueError", "BackSaturationError", "BackHueSelect",
                                                     "BackSaturationSelect", "DefaultControl", "Selected"}));
    auto parsed = PropertyBag::Parse(bag.Serialize());
    ASSERT_TRUE(parsed);
    SiteStatProperties back = ReadSiteStatProperties(*parsed);
    EXPECT_EQ(back.siteUrl, p.siteUrl);
    EXPECT_EQ(back.pingValue, p.pingValue);
    EXPECT_EQ(back.normal, p.normal);
    EXPECT_EQ(back.error, p.error);
    EXPECT_EQ(back.select, p.select);
    EXPECT_TRUE(back.defaultControl);
    EXPECT_TRUE(back.selected);

    // Setting a value back to its default removes it again; keys match without case.
    p.normal.hue = 185;
    WriteSiteStatProperties(p, bag);
    EXPECT_FALSE(bag.Contains("backhue"));
    EXPECT_TRUE(bag.Contains("BACKSATURATION"));
}

TEST(SiteStatModel, StoredDesignsHoldTheirValues) {
    auto templ = PropertyBag::Parse(TemplateTileDesign());
    ASSERT_TRUE(templ);
    SiteStatProperties t = ReadSiteStatProperties(*templ);
    EXPECT_EQ(t.normal, (ColourPair{192, 145}));
    EXPECT_EQ(t.error, (ColourPair{32, 200}));
    EXPECT_EQ(t.select, (ColourPair{84, 244}));
    EXPECT_TRUE(t.defaultControl);
    EXPECT_FALSE(t.selected);
    EXPECT_EQ(t.siteUrl, "0");

    auto normal = PropertyBag::Parse(PreviewNormalTileDesign());
    ASSERT_TRUE(normal);
    SiteStatProperties n = ReadSiteStatProperties(*normal);
    EXPECT_EQ(n.pingValue, "10 ms");
    EXPECT_EQ(n.normal, (ColourPair{185, 145}));
    EXPECT_NE(n.siteUrl, "0");

    auto error = PropertyBag::Parse(PreviewErrorTileDesign());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->size(), 0u);

    auto graph = PropertyBag::Parse(ResponseGraphDesign());
    ASSERT_TRUE(graph);
    EXPECT_EQ(graph->Keys(), std::vector<std::string>{"Font"});

    const PixelView artwork = TileBackgroundPixels();
    ASSERT_NE(artwork.bits, nullptr);
    EXPECT_EQ(artwork.width, 179);
    EXPECT_EQ(artwork.height, 28);
    EXPECT_EQ(artwork.bytesPerRow, 540);
}

TEST(SiteStatModel, OnlyAWholeUncompressed24BitBitmapFileGivesPixels) {
    // A 2 x 1 file: 14-byte file header, 40-byte information header, one row of 8 bytes.
    std::vector<uint8_t> file(62, 0);
    auto put = [&](std::size_t at, uint32_t value, int size) {
        for (int i = 0; i < size; ++i) file[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    file[0] = 'B', file[1] = 'M';
    put(10, 54, 4), put(14, 40, 4), put(18, 2, 4), put(22, 1, 4), put(26, 1, 2), put(28, 24, 2);
    const PixelView view = BitmapFilePixels(file);
    EXPECT_EQ(view.bits, file.data() + 54);
    EXPECT_EQ(view.bytesPerRow, 8);

    auto broken = [&](std::size_t at, uint32_t value, int size) {
        std::vector<uint8_t> kept = file;
        put(at, value, size);
        const bool empty = BitmapFilePixels(file).bits == nullptr;
        file = kept;
        return empty;
    };
    EXPECT_TRUE(broken(28, 32, 2)) << "32 bits per pixel";
    EXPECT_TRUE(broken(30, 1, 4)) << "compressed";
    EXPECT_TRUE(broken(22, 0xFFFFFFFF, 4)) << "rows stored top first (negative height)";
    EXPECT_TRUE(broken(18, 1000, 4)) << "pixels beyond the end of the file";
    EXPECT_TRUE(broken(10, 0xFFFFFFF0, 4)) << "pixel offset beyond the file";
    EXPECT_TRUE(BitmapFilePixels(std::span(file).first(60)).bits == nullptr) << "file cut short";
}

// Pixels filled with one grey, enough to see which pair was applied.
struct Grey {
    std::vector<uint8_t> src = std::vector<uint8_t>(12, 128), dst = std::vector<uint8_t>(12, 0);
    PixelGrid Src() { return {src.data(), 4, 1, 12}; }
    PixelGrid Dst() { return {dst.data(), 4, 1, 12}; }
};

TEST(SiteStatColouring, SelectedBlocksOnlyNormalAndError) {
    SiteStatProperties p;
    SiteStatColouring c;
    EXPECT_EQ(c.PairFor(ColourRequest::Normal, p), p.normal);
    EXPECT_EQ(c.PairFor(ColourRequest::Error, p), p.error);
    p.selected = true;
    EXPECT_FALSE(c.PairFor(ColourRequest::Normal, p));
    EXPECT_FALSE(c.PairFor(ColourRequest::Error, p));
    EXPECT_EQ(c.PairFor(ColourRequest::Select, p), p.select);
    EXPECT_EQ(c.PairFor(ColourRequest::Unselect, p), (ColourPair{0, 0}));
}

TEST(SiteStatColouring, UnselectSwapsBetweenTheLastTwoPairs) {
    SiteStatProperties p;
    p.normal = {192, 145};
    SiteStatColouring c;
    Grey g;
    // The load-time application: the previous pair is then the initial grey 0 / 0.
    ASSERT_EQ(c.Apply(p.normal, g.Src(), g.Dst()), ColourStatus::Ok);
    EXPECT_EQ(c.Previous(), (ColourPair{0, 0}));
    ASSERT_EQ(c.Apply(*c.PairFor(ColourRequest::Unselect, p), g.Src(), g.Dst()), ColourStatus::Ok);
    EXPECT_EQ(c.Current(), (ColourPair{0, 0}));
    EXPECT_EQ(g.dst[0], 128);  // grey with the picture's lightness
    EXPECT_EQ(g.dst[2], 128);

    // Select, then unselect: back to the colours before the selection.
    ASSERT_EQ(c.Apply(p.normal, g.Src(), g.Dst()), ColourStatus::Ok);
    ASSERT_EQ(c.Apply(*c.PairFor(ColourRequest::Select, p), g.Src(), g.Dst()), ColourStatus::Ok);
    ASSERT_EQ(c.Apply(*c.PairFor(ColourRequest::Unselect, p), g.Src(), g.Dst()), ColourStatus::Ok);
    EXPECT_EQ(c.Current(), p.normal);
    EXPECT_EQ(c.Previous(), p.select);
}

TEST(SiteStatColouring, FailedApplicationStillMovesThePairs) {
    SiteStatColouring c;
    Grey g;
    ASSERT_EQ(c.Apply({185, 40}, g.Src(), g.Dst()), ColourStatus::Ok);
    EXPECT_EQ(c.Apply({999, 255}, g.Src(), g.Dst()), ColourStatus::Overflow);
    EXPECT_EQ(c.Current(), (ColourPair{999, 255}));
    EXPECT_EQ(c.Previous(), (ColourPair{185, 40}));
}

}  // namespace
}  // namespace corvale
