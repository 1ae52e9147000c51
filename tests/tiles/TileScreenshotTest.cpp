#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "WinTestSupport.h"
#include "ui/tiles/TileDesigns.h"
#include "ui/tiles/ctlSiteStat.h"
#include "ui/base/Dpi.h"
#include "ui/base/Twips.h"

namespace corvale {
namespace {

// Three tiles as the main window shows them, saved for a person to look at.
TEST(TileScreenshot, NormalErrorAndSelectedTiles) {
    test::TestHostWindow host(TwipsToPixels(kTileWidthTwips, SystemDpi()) + 16, TwipsToPixels(kTileHeightTwips, SystemDpi()) * 3 + 16,
                              "Corvale tiles");
    auto design = PropertyBag::Parse(TemplateTileDesign());
    ASSERT_TRUE(design);
    struct Look {
        const char* site;
        const char* ping;
        int values[10];
    };
    const Look looks[] = {
        {"www.example.com", "192 ms", {120, 180, 240, 192, 150, 310, 420, 192, 260, 192}},
        {"unreachable.example.org", "Not responding", {90, 110, 0, 130, 0, 0, 0, 0, 0, 0}},
        {"mirror.example.net", "48 ms", {40, 60, 800, 650, 48, 52, 300, 45, 48, 48}},
    };
    std::unique_ptr<ctlSiteStat> tiles[3];
    for (int i = 0; i < 3; ++i) {
        tiles[i] = std::make_unique<ctlSiteStat>(host.Handle(), 120, 120 + i * kTileHeightTwips);
        ctlSiteStat& tile = *tiles[i];
        ASSERT_EQ(tile.ReadProperties(*design), ColourStatus::Ok);
        tile.RefreshGraph();
        tile.SetVisible(true);
        tile.SetSiteURL(looks[i].site);
        tile.SetPingValue(looks[i].ping);
        for (int v : looks[i].values) tile.SetPingNumeric(v);
    }
    EXPECT_EQ(tiles[0]->ApplyColorsNormal(), ColourStatus::Ok);
    EXPECT_EQ(tiles[1]->ApplyColorsError(), ColourStatus::Ok);
    tiles[2]->SetSelected(true);
    EXPECT_EQ(tiles[2]->ApplyColorsSelect(), ColourStatus::Ok);
    EXPECT_EQ(tiles[2]->ApplyColorsNormal(), ColourStatus::Ok);  // blocked: stays selected
    test::PumpMessagesFor(300);

    CreateDirectoryA("..\\screenshots", nullptr);
    const std::string path = "..\\screenshots\\tiles.png";
    ASSERT_TRUE(test::SaveWindowPng(host.Handle(), path));

    // On screen, the tiles carry their colours: the error tile is reddish, the normal
    // one bluish, the selected one greenish (at a point clear of texts and graph).
    const int x = 8 + 100, y0 = 8 + 4;
    const int rowHeight = TwipsToPixels(kTileHeightTwips, SystemDpi());
    COLORREF normal = test::WindowPixel(host.Handle(), x, y0);
    COLORREF error = test::WindowPixel(host.Handle(), x, y0 + rowHeight);
    COLORREF selected = test::WindowPixel(host.Handle(), x, y0 + 2 * rowHeight);
    EXPECT_GT(GetBValue(normal), GetRValue(normal));
    EXPECT_GT(GetRValue(error), GetBValue(error));
    EXPECT_GT(GetGValue(selected), GetBValue(selected));
}

}  // namespace
}  // namespace corvale
