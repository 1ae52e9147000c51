// The main window with the sites on it, under Wine: layout, image buttons, mini mode,
// the tiles and squares the site table makes, and their tooltips; at a new scale, and where
// it opens.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <map>
#include <vector>

#include "TempFolder.h"
#include "WinTestSupport.h"
#include "WindowHarness.h"
#include "ui/base/Dpi.h"
#include "ui/base/Twips.h"
#include "ui/main/frmMain.h"

namespace corvale {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void LoadWith(const std::string& sites, bool mini = false) {
        h_.Use(sites, mini);
        ASSERT_TRUE(form_.Load());
        h_.tiles.BuildTiles();
        test::PumpMessages();
    }
    const ProgramSettings& Settings() { return h_.model.Settings(); }
    std::vector<std::unique_ptr<CTooltip>>& Tips() { return h_.tiles.SiteTooltips; }
    static RECT ClientOf(HWND w) {
        RECT r{};
        GetClientRect(w, &r);
        return r;
    }
    // A child's place in its parent, in twips.
    static POINT PlaceTwips(HWND child) {
        RECT r{};
        GetWindowRect(child, &r);
        POINT p{r.left, r.top};
        ScreenToClient(GetParent(child), &p);
        return {std::lround(PixelsToTwips(p.x, SystemDpi())), std::lround(PixelsToTwips(p.y, SystemDpi()))};
    }
    static long Twips(long pixels) { return std::lround(PixelsToTwips(pixels, SystemDpi())); }
    // A press and release of `message`'s button at a point given in twips of `target`.
    static void Press(HWND target, float xTwips, float yTwips, bool right = false, int dpi = SystemDpi()) {
        const LPARAM at = MAKELPARAM(TwipsToPixels(xTwips, dpi), TwipsToPixels(yTwips, dpi));
        SendMessageA(target, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, at);
        SendMessageA(target, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
    }
    std::string IniMiniMode() { return h_.store.Read("General", "MiniMode"); }

    test::TempFolder folder_;
    test::WindowHarness h_{folder_.Folder()};
    test::WindowHarness& actions_ = h_;
    frmMain& form_ = *h_.form;
};

TEST_F(MainWindowTest, LayoutForNoOneAndTwentySitesInBothModes) {
    LoadWith("");
    RECT c = ClientOf(form_.hWnd());
    EXPECT_EQ(Twips(c.right), 2715);
    EXPECT_EQ(Twips(c.bottom), 660);
    EXPECT_EQ(PlaceTwips(form_.barBottom().hWnd()).y, 330);
    EXPECT_EQ(PlaceTwips(form_.toolBoxMin().hWnd()).x, 1800);
    EXPECT_TRUE(form_.CaptionVisible());
    EXPECT_FALSE(form_.CheckTimerEnabled());

    form_.EnterMiniMode();
    c = ClientOf(form_.hWnd());
    EXPECT_NEAR(Twips(c.right), 1266, 15);  // 84.4 pixels at 96 dots per inch
    EXPECT_EQ(Twips(c.bottom), 330);
    EXPECT_FALSE(form_.CaptionVisible());

    h_.SaveList("a.test");
    EXPECT_NEAR(PlaceTwips(form_.toolBoxMax().hWnd()).x, 486, 15);
    // The tool box in front is the one whose clicks count.
    EXPECT_EQ(ChildWindowFromPointEx(form_.hWnd(), {TwipsToPixels(486 + 450, SystemDpi()), 5}, CWP_SKIPINVISIBLE),
              form_.toolBoxMax().hWnd());

    std::string twenty;
    for (int i = 0; i < 20; ++i) twenty += "s" + std::to_string(i) + ".test\r\n";
    h_.SaveList(twenty);
    EXPECT_NEAR(Twips(ClientOf(form_.hWnd()).right), 3966, 15);
    form_.LeaveMiniMode();
    c = ClientOf(form_.hWnd());
    EXPECT_EQ(Twips(c.bottom), 8760);
    EXPECT_EQ(PlaceTwips(form_.barBottom().hWnd()).y, 8430);
    EXPECT_EQ(PlaceTwips(form_.SiteStat(19).hWnd()).y, 330 + 19 * 405);
    EXPECT_EQ(PlaceTwips(form_.picSite(19).hWnd()).x, 330 + 19 * 135);
    EXPECT_EQ(ChildWindowFromPointEx(form_.hWnd(), {TwipsToPixels(1800 + 450, SystemDpi()), 5}, CWP_SKIPINVISIBLE),
              form_.toolBoxMin().hWnd());
}

TEST_F(MainWindowTest, ImageButtonsActOnTheirSurfacesAndTheRightButtonOnlyPopsUp) {
    LoadWith("a.test");
    HWND form = form_.hWnd(), bar = form_.barBottom().hWnd(), tools = form_.toolBoxMin().hWnd();

    const float start = h_.model.CheckCycle().RoundStart;
    form_.FormToolBoxClick(1, 90, 100, "form");
    form_.FormToolBoxClick(1, 240, 100, "form");
    EXPECT_EQ(h_.model.CheckCycle().RoundStart, start) << "on a bound is outside";
    form_.FormToolBoxClick(1, 91, 100, "form");
    EXPECT_EQ(h_.model.CheckCycle().RoundStart, start - 20);
    // Through the window: a press on the middle of the button.
    Press(form, 165, 140);
    EXPECT_EQ(h_.model.CheckCycle().RoundStart, start - 40);
    EXPECT_EQ(GetFocus(), bar) << "a click on the background hands the focus to the bar";

    Press(bar, 165, 140);
    Press(bar, 2250, 140);
    Press(bar, 2505, 140);
    EXPECT_EQ(actions_.pagesOpened, (std::vector<int16_t>{4, 1, 1}));

    const int popupsBefore = actions_.popups;
    Press(bar, 165, 140, true);
    Press(tools, 750, 140, true);
    Press(form, 165, 140, true);
    EXPECT_EQ(actions_.pagesOpened.size(), 3u) << "the right button performs no button's action";
    EXPECT_EQ(actions_.shutDowns, 0);
    EXPECT_EQ(actions_.popups, popupsBefore + 3);

    Press(tools, 750, 140);
    EXPECT_EQ(actions_.shutDowns, 1) << "close, without asking";

    Press(tools, 495, 140);
    EXPECT_TRUE(Settings().MiniMode);
    EXPECT_EQ(IniMiniMode(), "True") << "stored at once";
    Press(form_.toolBoxMax().hWnd(), 495, 140);
    EXPECT_FALSE(Settings().MiniMode);
    EXPECT_EQ(IniMiniMode(), "False");

    Press(tools, 232, 140);
    test::PumpMessages();
    EXPECT_FALSE(IsWindowVisible(form));
    EXPECT_EQ(actions_.shutDowns, 1);
}

TEST_F(MainWindowTest, TooltipsFollowTheModeAndAPressRefreshesTheTile) {
    LoadWith("a.test\r\nb.test");
    ASSERT_EQ(Tips().size(), 2u);
    EXPECT_EQ(Tips()[1]->HwndParentControl(), form_.SiteStat(1).hWnd());
    EXPECT_EQ(Tips()[1]->Text(), "Not checked yet");
    EXPECT_EQ(Tips()[1]->Title(), "b.test");
    EXPECT_FALSE(form_.picSite(1).Visible());

    form_.EnterMiniMode();
    EXPECT_EQ(Tips()[1]->HwndParentControl(), form_.picSite(1).hWnd());
    EXPECT_TRUE(form_.picSite(1).Visible());
    form_.LeaveMiniMode();
    EXPECT_EQ(Tips()[1]->HwndParentControl(), form_.SiteStat(1).hWnd());
    EXPECT_FALSE(form_.picSite(1).Visible());

    // A result the model took in reaches the tile when it is refreshed.
    h_.tilesOn = false;
    ScriptedEngine::Get().replies["a.test"] = {0, 9};
    for (int tick = 0; tick < 20; ++tick) h_.model.CheckTick();
    ASSERT_TRUE(h_.model.Sites()[0].NotResponding);
    h_.tilesOn = true;
    EXPECT_FALSE(Tips()[0]->TooltipWindow()) << "no tip window before the pointer comes";
    test::PointerMovesOver(form_.SiteStat(0).hWnd());
    HWND before = Tips()[0]->TooltipWindow();
    ASSERT_TRUE(before);
    Press(form_.SiteStat(0).hWnd(), 100, 100);
    EXPECT_EQ(actions_.refreshed.back(), 0);
    EXPECT_EQ(Tips()[0]->Text().rfind("Ping: 0 ms \r\ntimed out\r\n", 0), 0u) << Tips()[0]->Text();
    EXPECT_EQ(Tips()[0]->TooltipWindow(), before) << "the tip is renewed in place, not made again";
    EXPECT_EQ(form_.SiteStat(0).CurrentPair().hue, form_.SiteStat(0).BackHueError());
}

TEST_F(MainWindowTest, AShorterListLeavesTheExtraTilesBelowTheWindow) {
    LoadWith("a\r\nb\r\nc\r\nd\r\ne");
    h_.SaveList("a\r\nb\r\nc");
    ASSERT_EQ(form_.SiteStatCount(), 5);
    const long bottom = Twips(ClientOf(form_.hWnd()).bottom);
    EXPECT_EQ(bottom, 3 * 405 + 660);
    for (int i : {3, 4}) {
        EXPECT_TRUE(IsWindow(form_.SiteStat(i).hWnd()));
        EXPECT_GE(PlaceTwips(form_.SiteStat(i).hWnd()).y, bottom - 330) << "at or under the bottom bar";
    }
    // The bar is drawn over the first left-over tile, not under it.
    const POINT inBar{TwipsToPixels(1000, SystemDpi()), TwipsToPixels(bottom - 100, SystemDpi())};
    EXPECT_EQ(ChildWindowFromPointEx(form_.hWnd(), inBar, CWP_SKIPINVISIBLE), form_.barBottom().hWnd());
    EXPECT_EQ(Tips().size(), 3u);
}

// The notice the system sends a window that reaches a monitor of another scale, with the
// place it suggests: moved a little, its size scaled.
RECT SendScaleNotice(HWND window, int fromDpi, int toDpi) {
    RECT now{};
    GetWindowRect(window, &now);
    const RECT suggested{now.left + 7, now.top + 5, now.left + 7 + MulDiv(now.right - now.left, toDpi, fromDpi),
                         now.top + 5 + MulDiv(now.bottom - now.top, toDpi, fromDpi)};
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(toDpi, toDpi), reinterpret_cast<LPARAM>(&suggested));
    return suggested;
}

RECT PlaceIn(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool SameBox(const RECT& r, const PixelBox& box) {
    return r.left == box.x && r.top == box.y && r.right - r.left == box.width && r.bottom - r.top == box.height;
}

TEST_F(MainWindowTest, ANewScaleLaysOutTheWindowItsTilesTipsAndImageButtonsAgain) {
    LoadWith("a.test\r\nb.test\r\nc.test");
    const float pingLabelHeight = form_.SiteStat(0).PingLabelBounds().height;
    int dpi = SystemDpi();
    for (const int next : {144, 192, 96}) {
        const RECT suggested = SendScaleNotice(form_.hWnd(), dpi, next);
        dpi = next;
        test::PumpMessages();
        RECT window{};
        GetWindowRect(form_.hWnd(), &window);
        EXPECT_EQ(window.left, suggested.left) << dpi;
        EXPECT_EQ(window.top, suggested.top);
        EXPECT_EQ(window.right - window.left, TwipsToPixels(2715, dpi)) << "its own size, not the one suggested";
        EXPECT_EQ(window.bottom - window.top, TwipsToPixels(3 * 405 + 660, dpi));
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(SameBox(PlaceIn(form_.SiteStat(i).hWnd()), TwipsBoxToPixels(0, 330 + 405 * i, 2685, 405, dpi)))
                << "tile " << i << " at " << dpi;
        EXPECT_TRUE(SameBox(PlaceIn(form_.SiteStat(0).Graph().hWnd()), TwipsBoxToPixels(2040, 60, 615, 315, dpi)));
        EXPECT_TRUE(SameBox(PlaceIn(form_.toolBoxMin().hWnd()), TwipsBoxToPixels(1800, 0, 915, 345, dpi)));
        EXPECT_EQ(PlaceIn(form_.barBottom().hWnd()).top, TwipsToPixels(3 * 405 + 330, dpi));
        // Texts in fonts of the new scale: as many twips high at any scale.
        EXPECT_NEAR(form_.SiteStat(0).PingLabelBounds().height, pingLabelHeight, 30) << dpi;
        // The picture covers the tile, drawn for the scale.
        const RECT tile = PlaceIn(form_.SiteStat(1).hWnd());
        EXPECT_NE(test::WindowPixel(form_.SiteStat(1).hWnd(), tile.right - tile.left - 2, tile.bottom - tile.top - 2),
                  RGB(0, 0, 0));
        // The tips cover the tiles as they are now, in a font of the scale.
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = form_.SiteStat(2).hWnd();
        test::PointerMovesOver(tool.hwnd);
        ASSERT_TRUE(SendMessageW(Tips()[2]->TooltipWindow(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
        EXPECT_EQ(tool.rect.right, TwipsToPixels(2685, dpi));
        LOGFONTW tipFont{}, expected{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Tips()[2]->TooltipWindow(), WM_GETFONT, 0, 0)),
                   sizeof tipFont, &tipFont);
        ASSERT_TRUE(TooltipLogFontForDpi(dpi, expected));
        EXPECT_EQ(tipFont.lfHeight, expected.lfHeight) << dpi;

        // The image buttons' ranges are twips of the scale: pressed where they are now.
        actions_.pagesOpened.clear();
        Press(form_.barBottom().hWnd(), 165, 140, false, dpi);
        Press(form_.barBottom().hWnd(), 2250, 140, false, dpi);
        Press(form_.barBottom().hWnd(), 300, 140, false, dpi);
        EXPECT_EQ(actions_.pagesOpened, (std::vector<int16_t>{4, 1})) << dpi;
        const int shutDowns = actions_.shutDowns;
        Press(form_.toolBoxMin().hWnd(), 750, 140, false, dpi);
        EXPECT_EQ(actions_.shutDowns, shutDowns + 1);
        Press(form_.toolBoxMin().hWnd(), 495, 140, false, dpi);
        EXPECT_TRUE(Settings().MiniMode);
        EXPECT_EQ(ClientOf(form_.hWnd()).bottom, TwipsToPixels(330, dpi));
        EXPECT_TRUE(SameBox(PlaceIn(form_.picSite(2).hWnd()), TwipsBoxToPixels(330 + 2 * 135, 60, 105, 195, dpi)));
        Press(form_.toolBoxMax().hWnd(), 495, 140, false, dpi);
        EXPECT_FALSE(Settings().MiniMode);
    }
}

TEST_F(MainWindowTest, OpensWhereItWasLeftWhileAMonitorShowsItElseAsANewWindowOpens) {
    test::WriteBytes(folder_.File("monitor.ini"), "[Window]\r\nLeft=4500\r\nTop=3015\r\n");
    LoadWith("a.test");
    RECT window{};
    GetWindowRect(form_.hWnd(), &window);
    EXPECT_EQ(window.left, TwipsToPixels(4500, SystemDpi()));
    EXPECT_EQ(window.top, TwipsToPixels(3015, SystemDpi()));

    // Left on a monitor that is gone: where the system puts a new window, on a monitor.
    const int beyond = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN) + 50;
    std::string gone = "[Window]\r\nLeft=";
    gone += std::to_string(std::lround(PixelsToTwips(beyond, SystemDpi()))) + "\r\nTop=3000\r\n";
    test::WriteBytes(folder_.File("monitor.ini"), gone);
    const auto other = h_.NewWindow();
    ASSERT_TRUE(other->Load());
    GetWindowRect(other->hWnd(), &window);
    EXPECT_NE(MonitorFromRect(&window, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_LT(window.left, beyond - 50);
}

}  // namespace
}  // namespace corvale
