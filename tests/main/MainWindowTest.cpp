// The main window with the sites on it, under Wine: layout, image buttons, mini mode,
// the tiles and squares the site table makes, and their tooltips.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "TempFolder.h"
#include "WinTestSupport.h"
#include "monitor/Settings.h"
#include "monitor/SettingsStore.h"
#include "monitor/SiteList.h"
#include "monitor/SiteTiles.h"
#include "monitor/basProcessing.h"
#include "ui/base/Dpi.h"
#include "ui/base/Twips.h"
#include "ui/main/frmMain.h"

namespace corvale {
namespace {

class RecordingActions : public MainWindowActions {
public:
    std::vector<int16_t> pagesOpened;
    int shutDowns = 0, popups = 0, ticks = 0;
    std::vector<int> refreshed;
    frmMain* form = nullptr;
    bool confirm = false;

    void OpenPreferences(int16_t page) override { pagesOpened.push_back(page); }
    void ShutDown() override { ++shutDowns; }
    void RefreshTile(int index) override {
        refreshed.push_back(index);
        if (form) corvale::RefreshTile(*form, index);
    }
    void CheckTimerTick() override { ++ticks; }
    void ShowPopupMenu() override { ++popups; }
    bool ConfirmExit() override { return confirm; }
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppFolder = folder_.Folder();
        MiniMode = false;
        TransPerc = 100;
        ParseSiteList("");
        actions_.form = &form_;
    }
    void TearDown() override { SiteTooltips.clear(); }

    void LoadWith(const std::string& sites, bool mini = false) {
        MiniMode = mini;
        ParseSiteList(sites);
        ASSERT_TRUE(form_.Load());
        BuildTiles(form_);
        test::PumpMessages();
    }
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
    static void Press(HWND target, float xTwips, float yTwips, bool right = false) {
        const LPARAM at = MAKELPARAM(TwipsToPixels(xTwips, SystemDpi()), TwipsToPixels(yTwips, SystemDpi()));
        SendMessageA(target, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, at);
        SendMessageA(target, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
    }
    std::string IniMiniMode() { return ReadIniValue("General", "MiniMode"); }

    test::TempFolder folder_;
    RecordingActions actions_;
    frmMain form_{actions_};
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

    ParseSiteList("a.test");
    form_.ResizeWindow();
    EXPECT_NEAR(PlaceTwips(form_.toolBoxMax().hWnd()).x, 486, 15);
    // The tool box in front is the one whose clicks count.
    EXPECT_EQ(ChildWindowFromPointEx(form_.hWnd(), {TwipsToPixels(486 + 450, SystemDpi()), 5}, CWP_SKIPINVISIBLE),
              form_.toolBoxMax().hWnd());

    std::string twenty;
    for (int i = 0; i < 20; ++i) twenty += "s" + std::to_string(i) + ".test\r\n";
    ParseSiteList(twenty);
    BuildTiles(form_);
    form_.ResizeWindow();
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

    CheckCycle.RoundStart = 500;
    CheckInterval = 20;
    form_.FormToolBoxClick(1, 90, 100, "form");
    form_.FormToolBoxClick(1, 240, 100, "form");
    EXPECT_EQ(CheckCycle.RoundStart, 500) << "on a bound is outside";
    form_.FormToolBoxClick(1, 91, 100, "form");
    EXPECT_EQ(CheckCycle.RoundStart, 480);
    // Through the window: a press on the middle of the button.
    Press(form, 165, 140);
    EXPECT_EQ(CheckCycle.RoundStart, 460);
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
    EXPECT_TRUE(MiniMode);
    EXPECT_EQ(IniMiniMode(), "True") << "stored at once";
    Press(form_.toolBoxMax().hWnd(), 495, 140);
    EXPECT_FALSE(MiniMode);
    EXPECT_EQ(IniMiniMode(), "False");

    Press(tools, 232, 140);
    test::PumpMessages();
    EXPECT_FALSE(IsWindowVisible(form));
    EXPECT_EQ(actions_.shutDowns, 1);
}

TEST_F(MainWindowTest, TooltipsFollowTheModeAndAPressRefreshesTheTile) {
    LoadWith("a.test\r\nb.test");
    ASSERT_EQ(SiteTooltips.size(), 2u);
    EXPECT_EQ(SiteTooltips[1]->HwndParentControl(), form_.SiteStat(1).hWnd());
    EXPECT_EQ(SiteTooltips[1]->Text(), "Not checked yet");
    EXPECT_EQ(SiteTooltips[1]->Title(), "b.test");
    EXPECT_FALSE(form_.picSite(1).Visible());

    form_.EnterMiniMode();
    EXPECT_EQ(SiteTooltips[1]->HwndParentControl(), form_.picSite(1).hWnd());
    EXPECT_TRUE(form_.picSite(1).Visible());
    form_.LeaveMiniMode();
    EXPECT_EQ(SiteTooltips[1]->HwndParentControl(), form_.SiteStat(1).hWnd());
    EXPECT_FALSE(form_.picSite(1).Visible());

    Sites[0].PingMs = 42;
    Sites[0].NotResponding = true;
    Sites[0].Checked = true;
    HWND before = SiteTooltips[0]->TooltipWindow();
    Press(form_.SiteStat(0).hWnd(), 100, 100);
    EXPECT_EQ(actions_.refreshed.back(), 0);
    EXPECT_EQ(SiteTooltips[0]->Text(), "Ping: 42 ms ");
    EXPECT_EQ(SiteTooltips[0]->TooltipWindow(), before) << "the tip is renewed in place, not made again";
    EXPECT_EQ(form_.SiteStat(0).CurrentPair().hue, form_.SiteStat(0).BackHueError());
}

TEST_F(MainWindowTest, AShorterListLeavesTheExtraTilesBelowTheWindow) {
    LoadWith("a\r\nb\r\nc\r\nd\r\ne");
    ParseSiteList("a\r\nb\r\nc");
    BuildTiles(form_);
    form_.ResizeWindow();
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
    EXPECT_EQ(SiteTooltips.size(), 3u);
}

}  // namespace
}  // namespace corvale
