// The main window's behaviour under Wine: translucency on the real window, the tray icon
// (refused by the shell, lost with it, reached by mouse and keyboard) and its menu, the
// close request, and a drag with real (synthesised) mouse input.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "ShellBalloons.h"
#include "TempFolder.h"
#include "WinTestSupport.h"
#include "WindowHarness.h"
#include "ui/base/Dpi.h"
#include "ui/base/Twips.h"
#include "ui/main/basTransparent.h"
#include "ui/main/frmMain.h"

namespace corvale {
namespace {

class WindowBehaviourTest : public ::testing::Test {
protected:
    void SetUp() override { h_.Use("a.test\r\nb.test"); }
    void Load() {
        ASSERT_TRUE(form_.Load());
        h_.tiles.BuildTiles();
        test::PumpMessages();
    }
    bool Layered() const { return (GetWindowLongA(form_.hWnd(), GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }
    BYTE Alpha() const {
        BYTE alpha = 0;
        DWORD flags = 0;
        COLORREF key = 0;
        return GetLayeredWindowAttributes(form_.hWnd(), &key, &alpha, &flags) ? alpha : 0;
    }

    test::TempFolder folder_;
    test::WindowHarness h_{folder_.Folder()};
    test::WindowHarness& actions_ = h_;
    frmMain& form_ = *h_.form;
};

TEST_F(WindowBehaviourTest, StoredAlphaAtLoadAndOutOfRangeValuesLeaveItOpaque) {
    h_.Use("a.test\r\nb.test", false, 255);
    Load();
    EXPECT_TRUE(Layered());
    EXPECT_EQ(Alpha(), 255);
    EXPECT_EQ(ClearWindowAlpha(form_.hWnd()), 0);
    EXPECT_FALSE(Layered());
    EXPECT_EQ(SetWindowAlpha(form_.hWnd(), 300), 1);
    EXPECT_EQ(SetWindowAlpha(form_.hWnd(), -1), 1);
    EXPECT_FALSE(Layered()) << "nothing changed";
    EXPECT_EQ(SetWindowAlpha(form_.hWnd(), 30), 0);
    EXPECT_EQ(Alpha(), 30);
    EXPECT_EQ(SetWindowAlpha(nullptr, 30), 2);
}

TEST_F(WindowBehaviourTest, OneHundredAtLoadIsNotLayeredAndThirtyIsFaint) {
    Load();
    EXPECT_FALSE(Layered());
    const auto faint = h_.NewWindow();
    h_.Use("a.test\r\nb.test", false, 30);
    ASSERT_TRUE(faint->Load());
    EXPECT_TRUE(GetWindowLongA(faint->hWnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE alpha = 0;
    GetLayeredWindowAttributes(faint->hWnd(), nullptr, &alpha, nullptr);
    EXPECT_EQ(alpha, 30);
}

// A message on the icon as the shell sends it with the interface version in use: the
// event and the icon's id in lParam, the place of the icon or the pointer in wParam.
void ShellSends(HWND window, UINT event, int x = 200, int y = 150) {
    SendMessageW(window, frmMain::kTrayMessage, MAKEWPARAM(x, y), MAKELPARAM(event, frmMain::kTrayIconId));
}

bool ShellHolds(const NOTIFYICONDATAW& icon) { return test::ShellHoldsIcon(icon.hWnd, icon.uID); }

TEST_F(WindowBehaviourTest, TheIconCarriesTheProductNameAndComesBackAloneWithTheShell) {
    Load();
    ASSERT_TRUE(form_.TrayIconAdded());
    const NOTIFYICONDATAW& icon = form_.Tray().Data();
    EXPECT_STREQ(icon.szTip, L"Vestrel Corvale");
    EXPECT_EQ(icon.hWnd, form_.hWnd());
    EXPECT_EQ(icon.uCallbackMessage, frmMain::kTrayMessage);
    EXPECT_GE(icon.uCallbackMessage, static_cast<UINT>(WM_APP));
    EXPECT_EQ(icon.hIcon, form_.WindowIcon());
    EXPECT_NE(icon.hIcon, nullptr);
    EXPECT_TRUE(ShellHolds(icon));

    // The shell restarts while the window is hidden: it has forgotten the icon, and its
    // return brings back the icon and nothing else.
    form_.FormToolBoxClick(1, 232, 140, "topright_min");
    test::PumpMessages();
    ASSERT_FALSE(IsWindowVisible(form_.hWnd()));
    NOTIFYICONDATAW forgotten = icon;
    Shell_NotifyIconW(NIM_DELETE, &forgotten);
    SendMessageA(form_.hWnd(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    test::PumpMessages();
    EXPECT_TRUE(ShellHolds(icon));
    EXPECT_FALSE(IsWindowVisible(form_.hWnd()));

    // Once the shut-down has begun, nothing adds it again.
    form_.TrayOff();
    EXPECT_FALSE(ShellHolds(icon));
    SendMessageA(form_.hWnd(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_FALSE(ShellHolds(icon));
    EXPECT_FALSE(form_.TrayIconAdded());
}

TEST_F(WindowBehaviourTest, AnIconTheShellRefusesIsTriedAgainAndMeanwhileHidingOnlyMinimizes) {
    // The shell, still starting, refuses the icon. (Shared with the window, which calls it
    // once more as it goes, after this test's frame.)
    struct Shell {
        bool up = false;
        std::vector<DWORD> calls;
    };
    auto shell = std::make_shared<Shell>();
    form_.Tray().ShellCall = [shell](DWORD message, NOTIFYICONDATAW* data) -> BOOL {
        shell->calls.push_back(message);
        return shell->up && Shell_NotifyIconW(message, data);
    };
    Load();
    EXPECT_FALSE(form_.TrayIconAdded());
    form_.FormToolBoxClick(1, 232, 140, "topright_min");
    test::PumpMessages();
    EXPECT_TRUE(IsWindowVisible(form_.hWnd())) << "on the taskbar, where it can be found";
    EXPECT_TRUE(IsIconic(form_.hWnd()));
    SendMessageA(form_.hWnd(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_FALSE(form_.TrayIconAdded());

    shell->up = true;
    test::PumpMessagesFor(TrayIcon::kRetryIntervalMs + 1000);
    ASSERT_TRUE(form_.TrayIconAdded());
    EXPECT_TRUE(ShellHolds(form_.Tray().Data()));
    ShowWindow(form_.hWnd(), SW_RESTORE);
    form_.FormToolBoxClick(1, 232, 140, "topright_min");
    test::PumpMessages();
    EXPECT_FALSE(IsWindowVisible(form_.hWnd())) << "with the icon there, hiding hides";

    // Changing icon and tip reaches the shell only when something changed; the retries
    // have ended.
    shell->calls.clear();
    form_.Tray().Change(form_.WindowIcon(), "Vestrel Corvale");
    EXPECT_TRUE(shell->calls.empty());
    form_.Tray().Change(form_.WindowIcon(), "Vestrel Corvale - all sites answer");
    EXPECT_STREQ(form_.Tray().Data().szTip, L"Vestrel Corvale - all sites answer");
    test::PumpMessagesFor(TrayIcon::kRetryIntervalMs + 500);
    EXPECT_EQ(shell->calls, (std::vector<DWORD>{NIM_MODIFY}));
}

TEST_F(WindowBehaviourTest, ClicksAndTheKeyboardOnTheIconBringTheWindowBack) {
    Load();
    const RECT before = [&] {
        RECT r;
        GetWindowRect(form_.hWnd(), &r);
        return r;
    }();
    form_.FormToolBoxClick(1, 232, 140, "topright_min");  // hide
    test::PumpMessages();
    ASSERT_FALSE(IsWindowVisible(form_.hWnd()));

    ShellSends(form_.hWnd(), WM_MOUSEMOVE);
    ShellSends(form_.hWnd(), WM_LBUTTONDOWN);
    EXPECT_FALSE(IsWindowVisible(form_.hWnd())) << "neither a move nor a press acts";

    ShellSends(form_.hWnd(), WM_LBUTTONUP);
    ShellSends(form_.hWnd(), NIN_SELECT);
    EXPECT_TRUE(IsWindowVisible(form_.hWnd()));
    EXPECT_FALSE(IsIconic(form_.hWnd()));
    form_.FormToolBoxClick(1, 232, 140, "topright_min");
    // A double click brings a button-up and a double-click: the same as one click.
    ShellSends(form_.hWnd(), WM_LBUTTONUP);
    ShellSends(form_.hWnd(), WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(form_.hWnd()));
    EXPECT_FALSE(IsIconic(form_.hWnd()));
    // Enter or Space on the focused icon.
    form_.FormToolBoxClick(1, 232, 140, "topright_min");
    ShellSends(form_.hWnd(), NIN_KEYSELECT);
    EXPECT_TRUE(IsWindowVisible(form_.hWnd()));
    EXPECT_FALSE(IsIconic(form_.hWnd()));
    RECT after;
    GetWindowRect(form_.hWnd(), &after);
    EXPECT_TRUE(EqualRect(&before, &after)) << "icon messages never move the window";
}

// Ends every popup menu as soon as it is up, noting what it held and where it opened.
std::vector<std::string> gMenuItems;
std::vector<POINT> gMenuPlaces;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) return;
    HMENU items = reinterpret_cast<HMENU>(SendMessageA(menu, 0x01E1 /* MN_GETHMENU */, 0, 0));
    gMenuItems.clear();
    for (int i = 0; items && i < GetMenuItemCount(items); ++i) {
        char text[32] = {};
        GetMenuStringA(items, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        gMenuItems.emplace_back(text);
    }
    RECT r;
    GetWindowRect(menu, &r);
    gMenuPlaces.push_back({r.left, r.top});
    EndMenu();
}

TEST_F(WindowBehaviourTest, ARightClickOrTheMenuKeyOpensRestoreAndExitOnce) {
    Load();
    gMenuItems.clear();
    gMenuPlaces.clear();
    const UINT_PTR closer = SetTimer(nullptr, 0, 50, &CloseMenu);
    // A right click: the button's release, then the context-menu request.
    ShellSends(form_.hWnd(), WM_RBUTTONUP, 300, 200);
    ShellSends(form_.hWnd(), WM_CONTEXTMENU, 300, 200);
    EXPECT_EQ(gMenuItems,
              (std::vector<std::string>{"&Restore", "&History", "&Mute alerts for 1 hour", "", "&Exit"}));
    EXPECT_EQ(gMenuPlaces.size(), 1u) << "one click, one menu";
    // Shift+F10 or the menu key on the focused icon: at the icon's place.
    ShellSends(form_.hWnd(), WM_CONTEXTMENU, 240, 180);
    KillTimer(nullptr, closer);
    ASSERT_EQ(gMenuPlaces.size(), 2u);
    EXPECT_EQ(gMenuPlaces[1].x, 240);
    EXPECT_EQ(gMenuPlaces[1].y, 180);
}

TEST_F(WindowBehaviourTest, RestoreOnlyWhileMinimizedAndExitAsksFirst) {
    Load();
    form_.SetCheckTimerEnabled(true);
    form_.mnuRestore_Click();
    EXPECT_TRUE(IsWindowVisible(form_.hWnd()));
    form_.FormToolBoxClick(1, 232, 140, "topright_min");
    form_.mnuRestore_Click();
    EXPECT_TRUE(IsWindowVisible(form_.hWnd()));
    EXPECT_FALSE(IsIconic(form_.hWnd()));

    actions_.confirm = false;
    SendMessageA(form_.hWnd(), WM_COMMAND, frmMain::kMenuExit, 0);
    EXPECT_EQ(actions_.questions, 1);
    EXPECT_EQ(actions_.shutDowns, 0);
    const int ticks = actions_.ticks;
    test::PumpMessagesFor(200);
    EXPECT_GT(actions_.ticks, ticks) << "Cancel leaves the check timer ticking";
    actions_.confirm = true;
    form_.mnuexit_Click();
    EXPECT_EQ(actions_.shutDowns, 1);
}

TEST_F(WindowBehaviourTest, ACloseRequestStopsTheTimerAndShutsDownWithoutAsking) {
    Load();
    form_.SetCheckTimerEnabled(true);
    SendMessageA(form_.hWnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(form_.CheckTimerEnabled());
    EXPECT_EQ(actions_.shutDowns, 1);
    EXPECT_EQ(actions_.questions, 0);
    EXPECT_TRUE(IsWindow(form_.hWnd())) << "the program ends it, not the close";
    EXPECT_TRUE(SendMessageA(form_.hWnd(), WM_QUERYENDSESSION, 0, 0));
    SendMessageA(form_.hWnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(actions_.shutDowns, 2);
}

TEST_F(WindowBehaviourTest, ADragByATileEndsSnappedToTheScreenEdgeAndIsStored) {
    test::WriteBytes(folder_.File("monitor.ini"), "[General]\r\nTransPerc=255\r\n");
    Load();
    SetWindowPos(form_.hWnd(), HWND_TOPMOST, 300, 300, 0, 0, SWP_NOSIZE);
    test::PumpMessages();
    RECT tile;
    GetWindowRect(form_.SiteStat(0).hWnd(), &tile);
    const int grabX = tile.left + 20, grabY = tile.top + 10;
    // Dropped 6 pixels from the left edge: within 150 twips (10 pixels), so it snaps.
    test::DragWithMouse({grabX, grabY}, {grabX - (300 - 6), grabY - 100});
    RECT window;
    GetWindowRect(form_.hWnd(), &window);
    EXPECT_EQ(window.left, 0);
    EXPECT_NEAR(window.top, 200, 12);
    EXPECT_EQ(h_.store.Read("Window", "Left"), "0") << "where the next start opens it";
    EXPECT_EQ(h_.store.Read("Window", "Top"), std::to_string(std::lround(PixelsToTwips(window.top, SystemDpi()))));
    // Into a folder without settings, the place comes with the settings in effect, so the
    // next start reads none of them as missing.
    DeleteFileA(folder_.File("monitor.ini").c_str());
    form_.StorePosition();
    EXPECT_EQ(h_.store.Read("Window", "Left"), "0");
    EXPECT_EQ(h_.store.Read("General", "TransPerc"), std::to_string(h_.model.Settings().TransPerc));

    // Moves without a button never start a drag: the window stays where it is.
    SetWindowPos(form_.hWnd(), nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    GetWindowRect(form_.SiteStat(0).hWnd(), &tile);
    test::WhileUserActs([=] {
        test::MouseInput(MOUSEEVENTF_MOVE, tile.left + 20, tile.top + 10);
        test::MouseInput(MOUSEEVENTF_MOVE, tile.left + 60, tile.top + 12);
    });
    GetWindowRect(form_.hWnd(), &window);
    EXPECT_EQ(window.left, 400);
}

}  // namespace
}  // namespace corvale
