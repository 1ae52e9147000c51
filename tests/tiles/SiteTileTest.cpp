#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "WinTestSupport.h"
#include "ui/tiles/TileDesigns.h"
#include "ui/tiles/ctlSiteStat.h"
#include "ui/tiles/mHLSRGB.h"
#include "ui/base/Dpi.h"
#include "ui/base/Twips.h"

namespace corvale {
namespace {

struct MouseCall {
    int16_t button, shift;
    float x, y;
};

class SiteTileTest : public ::testing::Test {
protected:
    SiteTileTest() : host_(300, 120), tile_(host_.Handle(), 0, 0) { tile_.SetVisible(true); }

    COLORREF SurfacePixel(int x, int y) { return GetPixel(tile_.SurfaceDC(), x, y); }
    // The whole visible surface, to compare one look with another.
    std::vector<COLORREF> SurfacePixels() {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 27; ++y)
            for (int x = 0; x < 179; ++x) pixels.push_back(SurfacePixel(x, y));
        return pixels;
    }
    static bool IsGrey(COLORREF c) { return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c); }

    test::TestHostWindow host_;
    ctlSiteStat tile_;
};

TEST_F(SiteTileTest, NewTileIsEmptyWithDefaultsAndItsPictureUncoloured) {
    ASSERT_NE(tile_.hWnd(), nullptr);
    EXPECT_EQ(GetParent(tile_.hWnd()), host_.Handle());
    EXPECT_EQ(GetParent(tile_.Graph().hWnd()), tile_.hWnd());
    EXPECT_EQ(tile_.SiteLabelText(), "");
    EXPECT_EQ(tile_.PingLabelText(), "");
    EXPECT_EQ(tile_.SiteURL(), "0");
    EXPECT_EQ(tile_.BackHue(), 185);
    EXPECT_EQ(tile_.BackSaturationSelect(), 244);
    RECT r;
    GetClientRect(tile_.hWnd(), &r);
    EXPECT_EQ(r.right, TwipsToPixels(2685, SystemDpi()));
    EXPECT_EQ(r.bottom, TwipsToPixels(405, SystemDpi()));
    int grey = 0;
    for (COLORREF c : SurfacePixels()) grey += IsGrey(c);
    EXPECT_GT(grey, 179 * 27 * 9 / 10) << "the artwork is grey, and so is the uncoloured tile";
}

TEST_F(SiteTileTest, SiteAddressIsShortenedOnTheLabelOnly) {
    tile_.SetSiteURL("abcdefghijklmnopqr");
    EXPECT_EQ(tile_.SiteLabelText(), "abcdefghijklmnopqr");
    tile_.SetSiteURL("abcdefghijklmnopqrs");
    EXPECT_EQ(tile_.SiteLabelText(), "abcdefghijklmnopqr...");
    EXPECT_EQ(tile_.SiteURL(), "abcdefghijklmnopqrs");
    tile_.SetSiteURL("");
    EXPECT_EQ(tile_.SiteLabelText(), "");
    tile_.SetPingValue("192 ms");
    EXPECT_EQ(tile_.PingLabelText(), "192 ms");
    EXPECT_GT(tile_.PingLabelBounds().width, 0);
}

TEST_F(SiteTileTest, SettersReportTheChangedPropertyButDoNotRepaint) {
    std::vector<std::string> changed;
    tile_.PropertyChanged = [&](std::string_view name) { changed.emplace_back(name); };
    ASSERT_EQ(tile_.ApplyColorsNormal(), ColourStatus::Ok);
    const auto before = SurfacePixels();
    tile_.SetBackHue(20);
    tile_.SetBackSaturation(250);
    tile_.SetSelected(false);
    EXPECT_EQ(SurfacePixels(), before);
    EXPECT_EQ(changed, (std::vector<std::string>{"BackHue", "BackSaturation", "Selected"}));
    ASSERT_EQ(tile_.ApplyColorsNormal(), ColourStatus::Ok);
    EXPECT_NE(SurfacePixels(), before);
}

TEST_F(SiteTileTest, RenderedPixelIsWhatTheColourMathsSays) {
    // The picture's point nearest to mid-grey, outside the labels (which are empty anyway).
    const PixelView artwork = TileBackgroundPixels();
    ASSERT_EQ(artwork.height, 28);
    auto artworkPixel = [&](int x, int y) {  // rows are stored bottom first
        const uint8_t* p = artwork.bits + (27 - y) * artwork.bytesPerRow + x * 3;
        return RGB(p[2], p[1], p[0]);
    };
    int bestX = -1, bestY = -1, bestDistance = 1000;
    for (int y = 0; y < 27; ++y)
        for (int x = 0; x < 130; ++x) {
            COLORREF c = artworkPixel(x, y);
            int distance = std::abs(GetRValue(c) - 128) + std::abs(GetGValue(c) - 128) + std::abs(GetBValue(c) - 128);
            if (distance < bestDistance) bestDistance = distance, bestX = x, bestY = y;
        }
    ASSERT_LT(bestDistance, 60) << "the artwork should have a mid-grey point";
    COLORREF in = artworkPixel(bestX, bestY);

    tile_.SetBackHue(185);
    tile_.SetBackSaturation(145);
    ASSERT_EQ(tile_.ApplyColorsNormal(), ColourStatus::Ok);
    float h, s, l;
    mHLSRGB::HlsFromRgb(GetRValue(in), GetGValue(in), GetBValue(in), h, s, l);
    int32_t r, g, b;
    mHLSRGB::RgbFromHls(static_cast<float>(185 * 6.0 / 255 - 1), static_cast<float>(145 / 255.0), l, r, g, b);
    EXPECT_EQ(SurfacePixel(bestX, bestY), RGB(r, g, b));

    // What the window draws (through WM_PRINTCLIENT into a memory context) is the same.
    cDIBSection printed;
    ASSERT_TRUE(printed.Create(179, 27));
    SendMessageA(tile_.hWnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.hdc()), PRF_CLIENT);
    GdiFlush();
    EXPECT_EQ(GetPixel(printed.hdc(), bestX, bestY), RGB(r, g, b));
    if (bestDistance == 0) {
        EXPECT_EQ(RGB(r, g, b), RGB(56, 149, 200));
    }
}

TEST_F(SiteTileTest, ColouredOncePerChangeOfColour) {
    ASSERT_EQ(tile_.ApplyColorsNormal(), ColourStatus::Ok);
    const auto normal = SurfacePixels();
    // A mark on the surface survives every application that would paint the same picture.
    SetPixel(tile_.SurfaceDC(), 50, 10, RGB(1, 2, 3));
    ASSERT_EQ(tile_.ApplyColorsNormal(), ColourStatus::Ok);
    tile_.SetPingValue("Ping...");
    EXPECT_EQ(SurfacePixel(50, 10), RGB(1, 2, 3));
    EXPECT_EQ(tile_.PreviousPair(), tile_.CurrentPair()) << "the pairs move as for any application";

    ASSERT_EQ(tile_.ApplyColorsError(), ColourStatus::Ok);
    EXPECT_NE(SurfacePixel(50, 10), RGB(1, 2, 3));
    // A failed application leaves the picture; the pair it shows needs no colouring again.
    tile_.SetBackHueError(400);
    EXPECT_EQ(tile_.ApplyColorsError(), ColourStatus::Overflow);
    ASSERT_EQ(tile_.ApplyColorsNormal(), ColourStatus::Ok);
    EXPECT_EQ(SurfacePixels(), normal);
}

TEST_F(SiteTileTest, AddressesBeyondTheAnsiCodePageShowAsTyped) {
    const HFONT design = tile_.SiteLabelFont();
    const std::string cyrillic = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xBC\xD0\xB5\xD1\x80.\xD1\x80\xD1\x84";
    tile_.SetSiteURL(cyrillic);
    EXPECT_EQ(tile_.SiteLabelText(), cyrillic);
    MemoryDC dc;
    SelectScope select(dc.Get(), tile_.SiteLabelFont());
    WORD glyphs[9] = {};
    ASSERT_EQ(GetGlyphIndicesW(dc.Get(), L"\x43f\x440\x438\x43c\x435\x440.\x440\x444", 9, glyphs,
                               GGI_MARK_NONEXISTING_GLYPHS), 9u);
    for (WORD glyph : glyphs) EXPECT_NE(glyph, 0xFFFF) << "the label's font has every glyph";

    // Drawn, it is not the question marks an ANSI conversion would leave.
    auto label = [&] {
        cDIBSection printed;
        EXPECT_TRUE(printed.Create(179, 27));
        SendMessageA(tile_.hWnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.hdc()), PRF_CLIENT);
        GdiFlush();
        std::vector<COLORREF> pixels;
        for (int y = 17; y < 27; ++y)
            for (int x = 0; x < 130; ++x) pixels.push_back(GetPixel(printed.hdc(), x, y));
        return pixels;
    };
    const auto typed = label();
    tile_.SetSiteURL("?????????");
    EXPECT_NE(label(), typed);
    tile_.SetSiteURL("www.example.com");
    EXPECT_EQ(tile_.SiteLabelFont(), design) << "what the design font shows, it draws";
}

TEST_F(SiteTileTest, SelectedGatesNormalAndErrorOnly) {
    ASSERT_EQ(tile_.ApplyColorsNormal(), ColourStatus::Ok);
    const auto normal = SurfacePixels();
    tile_.SetSelected(true);
    EXPECT_EQ(tile_.ApplyColorsError(), ColourStatus::Ok);
    EXPECT_EQ(SurfacePixels(), normal);
    EXPECT_EQ(tile_.CurrentPair(), (ColourPair{185, 40}));

    ASSERT_EQ(tile_.ApplyColorsSelect(), ColourStatus::Ok);
    EXPECT_EQ(tile_.CurrentPair(), (ColourPair{84, 244}));
    EXPECT_NE(SurfacePixels(), normal);
    ASSERT_EQ(tile_.ApplyColorsUnselect(), ColourStatus::Ok);
    EXPECT_EQ(SurfacePixels(), normal) << "unselect brings back the colours before the selection";
}

TEST_F(SiteTileTest, LoadedTileIsColouredWithoutTextsAndUnselectGivesGrey) {
    auto design = PropertyBag::Parse(TemplateTileDesign());
    ASSERT_TRUE(design);
    design->WriteText("SiteURL", "www.example.com");
    design->WriteText("PingValue", "33 ms");
    design->WriteBool("Selected", true);
    ASSERT_EQ(tile_.ReadProperties(*design), ColourStatus::Ok);
    EXPECT_EQ(tile_.CurrentPair(), (ColourPair{192, 145}));
    EXPECT_TRUE(tile_.Selected()) << "read after the load-time colouring, which it does not block";
    EXPECT_TRUE(tile_.DefaultControl());
    EXPECT_EQ(tile_.SiteURL(), "www.example.com");
    EXPECT_EQ(tile_.SiteLabelText(), "");
    EXPECT_EQ(tile_.PingLabelText(), "");
    int coloured = 0;
    for (COLORREF c : SurfacePixels()) coloured += !IsGrey(c);
    EXPECT_GT(coloured, 179 * 27 / 2);

    ASSERT_EQ(tile_.ApplyColorsUnselect(), ColourStatus::Ok);
    EXPECT_EQ(tile_.CurrentPair(), (ColourPair{0, 0}));
    for (COLORREF c : SurfacePixels()) ASSERT_TRUE(IsGrey(c));

    PropertyBag saved;
    tile_.WriteProperties(saved);
    EXPECT_EQ(saved.ReadInt("BackHue", 0), 192);
    EXPECT_EQ(saved.ReadText("PingValue", ""), "33 ms");
    EXPECT_FALSE(saved.Contains("BackSaturationError"));
}

TEST_F(SiteTileTest, OverflowKeepsThePictureButMovesThePairs) {
    ASSERT_EQ(tile_.ApplyColorsNormal(), ColourStatus::Ok);
    const auto before = SurfacePixels();
    tile_.SetBackHueError(400);
    EXPECT_EQ(tile_.ApplyColorsError(), ColourStatus::Overflow);
    EXPECT_EQ(SurfacePixels(), before);
    EXPECT_EQ(tile_.CurrentPair(), (ColourPair{400, 200}));
    EXPECT_EQ(tile_.PreviousPair(), (ColourPair{185, 40}));
    tile_.SetBackSaturation(300);
    EXPECT_EQ(tile_.ApplyColorsNormal(), ColourStatus::Overflow);
    EXPECT_EQ(SurfacePixels(), before);
}

TEST_F(SiteTileTest, MouseEventsOfChildrenArriveOnceInTileTwips) {
    std::vector<MouseCall> downs, ups;
    tile_.MouseDown = [&](int16_t& b, int16_t& s, float& x, float& y) { downs.push_back({b, s, x, y}); };
    tile_.MouseUp = [&](int16_t& b, int16_t& s, float& x, float& y) { ups.push_back({b, s, x, y}); };
    tile_.SetSiteURL("www.example.com");
    const TwipsRect site = tile_.SiteLabelBounds();
    ASSERT_GT(site.width, 0);
    const int px = TwipsToPixels(site.left, SystemDpi()) + 2, py = TwipsToPixels(site.top, SystemDpi()) + 1;

    SendMessageA(tile_.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(px, py));
    SendMessageA(tile_.hWnd(), WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(px, py));
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].button, 1);
    EXPECT_EQ(downs[0].shift & 1, 1);
    EXPECT_FLOAT_EQ(downs[0].x, static_cast<float>(PixelsToTwips(px, SystemDpi())));
    EXPECT_FLOAT_EQ(downs[0].y, static_cast<float>(PixelsToTwips(py, SystemDpi())));
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_NE(GetCapture(), tile_.hWnd());

    // The graph is a window of its own; its coordinates move by its position in the tile.
    SendMessageA(tile_.Graph().hWnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 4));
    SendMessageA(tile_.Graph().hWnd(), WM_RBUTTONUP, 0, MAKELPARAM(3, 4));
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[1].button, 2);
    EXPECT_FLOAT_EQ(downs[1].x, static_cast<float>(2040 + PixelsToTwips(3, SystemDpi())));
    EXPECT_FLOAT_EQ(downs[1].y, static_cast<float>(60 + PixelsToTwips(4, SystemDpi())));
    ASSERT_EQ(ups.size(), 2u);
    EXPECT_EQ(ups[1].button, 2);
}

TEST_F(SiteTileTest, MoveReportsTheButtonsHeld) {
    std::vector<MouseCall> moves;
    tile_.MouseMove = [&](int16_t& b, int16_t& s, float& x, float& y) { moves.push_back({b, s, x, y}); };
    SendMessageA(tile_.hWnd(), WM_MOUSEMOVE, MK_LBUTTON | MK_MBUTTON | MK_CONTROL, MAKELPARAM(20, 10));
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].button, 5);
    EXPECT_EQ(moves[0].shift & 2, 2);
}

TEST_F(SiteTileTest, FontsAreTheDesignFontsOrAFixedPitchStandIn) {
    Font site = CreateSiteFont(SystemDpi());
    ASSERT_TRUE(site);
    MemoryDC dc;
    SelectScope select(dc.Get(), site.Get());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.Get(), &metrics);
    // TMPF_FIXED_PITCH set means variable pitch. Wine's prefix may lack Terminal and
    // every raster face; then any face is accepted, but Windows always has Terminal.
    const std::string face = ResolvedFace(site.Get());
    if (face == "Terminal" || face == "Courier" || face == "Courier New" || face == "Lucida Console") {
        EXPECT_EQ(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH, 0) << face;
    }
    EXPECT_LE(metrics.tmHeight, 14) << face;
    Font ping = CreatePingFont(SystemDpi());
    ASSERT_TRUE(ping);
    SelectScope selectPing(dc.Get(), ping.Get());
    GetTextMetricsA(dc.Get(), &metrics);
    EXPECT_GE(metrics.tmWeight, FW_BOLD);
}

TEST(SiteTileLifetime, ParentDestroyedFirstLeavesTheTileSafeToUseAndDestroy) {
    auto host = std::make_unique<test::TestHostWindow>(200, 40);
    auto tile = std::make_unique<ctlSiteStat>(host->Handle(), 0, 0);
    ASSERT_NE(tile->hWnd(), nullptr);
    host.reset();  // takes the tile's and the graph's windows down with it
    EXPECT_EQ(tile->hWnd(), nullptr);
    EXPECT_EQ(tile->Graph().hWnd(), nullptr);
    // Later calls must not reach a handle that may belong to another window by now.
    tile->SetPingNumeric(120);
    EXPECT_EQ(tile->ApplyColorsError(), ColourStatus::Ok);
    tile.reset();
}

TEST(SiteTileLeak, TenThousandColourApplicationsLeakNothing) {
    test::TestHostWindow host(200, 40);
    ctlSiteStat tile(host.Handle(), 0, 0);
    tile.SetVisible(true);
    ASSERT_EQ(tile.ApplyColorsNormal(), ColourStatus::Ok);
    test::PumpMessages();
    const long before = test::GdiObjectGauge();
    for (int i = 0; i < 10000; ++i) {
        tile.SetPingNumeric(i % 900);
        ASSERT_EQ(i % 2 ? tile.ApplyColorsError() : tile.ApplyColorsNormal(), ColourStatus::Ok);
        if (i % 100 == 0) test::PumpMessages();
    }
    test::PumpMessages();
    EXPECT_LE(test::GdiObjectGauge() - before, 10);
}

}  // namespace
}  // namespace corvale
