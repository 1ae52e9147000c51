// The main window's behaviour under Wine: translucency on the real window, the tray icon
// and its menu, the close request, and a drag with real (synthesised) mouse input.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "TempFolder.h"
#include "WinTestSupport.h"
#include "monitor/Settings.h"
#include "monitor/SiteList.h"
#include "monitor/SiteTiles.h"
#include "ui/base/Twips.h"
#include "ui/main/basTransparent.h"
#include "ui/main/frmMain.h"

namespace corvale {
namespace {

class Actions : public MainWindowActions {
public:
    int shutDowns = 0, ticks = 0;
    bool confirm = false;
    int questions = 0;
    frmMain* form = nullptr;
    void OpenPreferences(int16_t) override {}
    void ShutDown() override { ++shutDowns; }
    void RefreshTile(int i) override {
        if (form) corvale::RefreshTile(*form, i);
    }
    void CheckTimerTick() override { ++ticks; }
    void ShowPopupMenu() override {}
    bool ConfirmExit() override {
        ++questions;
        return confirm;
    }
};

class WindowBehaviourTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppFolder = folder_.Folder();
        MiniMode = false;
        TransPerc = 100;
        ParseSiteList("a.test\r\nb.test");
        actions_.form = &form_;
    }
    void TearDown() override { SiteTooltips.clear(); }
    void Load() {
        ASSERT_TRUE(form_.Load());
        BuildTiles(form_);
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
    Actions actions_;
    frmMain form_{actions_};
};

TEST_F(WindowBehaviourTest, StoredAlphaAtLoadAndOutOfRangeValuesLeaveItOpaque) {
    TransPerc = 255;
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
    frmMain faint{actions_};
    TransPerc = 30;
    ASSERT_TRUE(faint.Load());
    EXPECT_TRUE(GetWindowLongA(faint.hWnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE alpha = 0;
    GetLayeredWindowAttributes(faint.hWnd(), nullptr, &alpha, nullptr);
    EXPECT_EQ(alpha, 30);
}

TEST_F(WindowBehaviourTest, TrayIconCarriesTheProductNameOnAMessageOfOurOwn) {
    Load();
    EXPECT_TRUE(form_.TrayIconAdded());
    const NOTIFYICONDATAA& icon = form_.TrayIconData();
    EXPECT_STREQ(icon.szTip, "Vestrel Corvale");
    EXPECT_EQ(icon.hWnd, form_.hWnd());
    EXPECT_EQ(icon.uID, 1u);
    EXPECT_EQ(icon.uCallbackMessage, frmMain::kTrayMessage);
    EXPECT_GE(icon.uCallbackMessage, static_cast<UINT>(WM_APP));
    EXPECT_EQ(icon.hIcon, form_.Icon());
    EXPECT_NE(icon.hIcon, nullptr);
    // The shell knows it: changing it succeeds only for an icon it holds.
    NOTIFYICONDATAA probe = icon;
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &probe));
    form_.TrayOff();
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &probe));

    // The shell's notification area came back: the icon is added again.
    SendMessageA(form_.hWnd(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(form_.TrayIconAdded());
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &probe));
}

TEST_F(WindowBehaviourTest, IconClicksBringTheWindowBackAndOtherMessagesDoNothing) {
    Load();
    const RECT before = [&] {
        RECT r;
        GetWindowRect(form_.hWnd(), &r);
        return r;
    }();
    form_.FormToolBoxClick(1, 232, 140, "topright_min");  // hide
    test::PumpMessages();
    ASSERT_FALSE(IsWindowVisible(form_.hWnd()));

    SendMessageA(form_.hWnd(), frmMain::kTrayMessage, 1, WM_MOUSEMOVE);
    SendMessageA(form_.hWnd(), frmMain::kTrayMessage, 1, WM_LBUTTONDOWN);
    EXPECT_FALSE(IsWindowVisible(form_.hWnd())) << "only the table's three messages act";

    SendMessageA(form_.hWnd(), frmMain::kTrayMessage, 1, WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(form_.hWnd()));
    EXPECT_FALSE(IsIconic(form_.hWnd()));
    form_.FormToolBoxClick(1, 232, 140, "topright_min");
    // A double click brings a button-up and a double-click: the same as one click.
    SendMessageA(form_.hWnd(), frmMain::kTrayMessage, 1, WM_LBUTTONUP);
    SendMessageA(form_.hWnd(), frmMain::kTrayMessage, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(form_.hWnd()));
    EXPECT_FALSE(IsIconic(form_.hWnd()));
    RECT after;
    GetWindowRect(form_.hWnd(), &after);
    EXPECT_TRUE(EqualRect(&before, &after)) << "icon messages never move the window";
}

// Ends the popup menu as soon as it is up, noting what it held.
std::vector<std::string> gMenuItems;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu) return;
    HMENU items = reinterpret_cast<HMENU>(SendMessageA(menu, 0x01E1 /* MN_GETHMENU */, 0, 0));
    for (int i = 0; items && i < GetMenuItemCount(items); ++i) {
        char text[32] = {};
        GetMenuStringA(items, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        gMenuItems.emplace_back(text);
    }
    KillTimer(nullptr, id);
    EndMenu();
}

TEST_F(WindowBehaviourTest, RightClickOnTheIconOpensRestoreAndExit) {
    Load();
    gMenuItems.clear();
    SetTimer(nullptr, 0, 50, &CloseMenu);
    SendMessageA(form_.hWnd(), frmMain::kTrayMessage, 1, WM_RBUTTONUP);
    EXPECT_EQ(gMenuItems, (std::vector<std::string>{"&Restore", "", "&Exit"}));
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

void Input(DWORD flags, int x = 0, int y = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_MOVE) {
        // Absolute coordinates run 0..65535 over the primary screen.
        in.mi.dx = MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
        in.mi.dy = MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
        in.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
    }
    SendInput(1, &in, sizeof in);
    Sleep(30);
}

// The user's hand: input from another thread while this one serves the window (the drag's
// move loop runs inside this thread's message handling until the button is released).
void WhileUserActs(const std::function<void()>& hand) {
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread user([&] {
        hand();
        SetEvent(done);
    });
    while (MsgWaitForMultipleObjects(1, &done, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        test::PumpMessages();
    user.join();
    CloseHandle(done);
    test::PumpMessagesFor(100);
}

TEST_F(WindowBehaviourTest, ADragByATileEndsSnappedToTheScreenEdge) {
    Load();
    SetWindowPos(form_.hWnd(), HWND_TOPMOST, 300, 300, 0, 0, SWP_NOSIZE);
    test::PumpMessages();
    RECT tile;
    GetWindowRect(form_.SiteStat(0).hWnd(), &tile);
    const int grabX = tile.left + 20, grabY = tile.top + 10;
    WhileUserActs([=] {
        Input(MOUSEEVENTF_MOVE, grabX, grabY);
        Input(MOUSEEVENTF_LEFTDOWN);
        // The first motion starts the drag (Wine's move loop does not count it), so it is tiny.
        Input(MOUSEEVENTF_MOVE, grabX + 1, grabY);
        // Dropped 6 pixels from the left edge: within 150 twips (10 pixels), so it snaps.
        for (int step = 1; step <= 10; ++step)
            Input(MOUSEEVENTF_MOVE, grabX - (300 - 6) * step / 10, grabY - 100 * step / 10);
        Input(MOUSEEVENTF_LEFTUP);
    });
    RECT window;
    GetWindowRect(form_.hWnd(), &window);
    EXPECT_EQ(window.left, 0);
    EXPECT_NEAR(window.top, 200, 12);

    // Moves without a button never start a drag: the window stays where it is.
    SetWindowPos(form_.hWnd(), nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    GetWindowRect(form_.SiteStat(0).hWnd(), &tile);
    WhileUserActs([=] {
        Input(MOUSEEVENTF_MOVE, tile.left + 20, tile.top + 10);
        Input(MOUSEEVENTF_MOVE, tile.left + 60, tile.top + 12);
    });
    GetWindowRect(form_.hWnd(), &window);
    EXPECT_EQ(window.left, 400);
}

}  // namespace
}  // namespace corvale
