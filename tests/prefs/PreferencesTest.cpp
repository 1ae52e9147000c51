// The preferences dialog inside the running program, under Wine, with a scripted engine:
// its opening routes, what it shows, the previews, Save and Cancel, the start-up box
// against the registry, stored values the sliders cannot show, a new scale, and its
// screenshots.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>

#include "RegistryTestSupport.h"
#include "ProgramFixture.h"
#include "TempFolder.h"
#include "WinTestSupport.h"
#include "monitor/AppFolder.h"
#include "monitor/basMain.h"
#include "ui/base/GdiHandles.h"
#include "ui/base/Dpi.h"
#include "ui/base/Twips.h"
#include "ui/main/MainLayout.h"

namespace corvale {
namespace {

std::string TextOf(HWND window) {
    char text[4096] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }
// A key on a slider: the control moves and reports the scroll to its page, as for the user.
void Key(HWND control, WPARAM key) {
    SendMessageA(control, WM_KEYDOWN, key, 0);
    SendMessageA(control, WM_KEYUP, key, 0xC0000000);
}
BYTE AlphaOf(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA)) return 255;
    return alpha;
}

class PreferencesTest : public test::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        program_.OpenDocumentHook = [this](const std::string& target) { opened_.push_back(target); };
    }
    std::string Ini(const char* section, const char* key) { return program_.Store().Read(section, key); }
    const ProgramSettings& Settings() { return Model().Settings(); }
    void Start() { ASSERT_TRUE(StartProgram()); }
    // A script for the dialog, run once it is up.
    bool DialogUp() { return program_.Preferences() && program_.Preferences()->IsOpen(); }
    std::function<bool()> WhenUp() { return [this] { return DialogUp(); }; }
    // Notes the page the dialog opened on and closes it.
    std::function<void()> NotePage(int& shown) {
        return [this, &shown] {
            shown = program_.Preferences()->FrontPage();
            program_.Preferences()->Unload();
        };
    }
    frmMain& Form() { return program_.MainWindow(); }
    // Opens the dialog on `page` and runs `script` in it; the script must close it.
    void WithDialog(int16_t page, const std::function<void(frmOptions&)>& script) {
        test::ModalScript run([this, script] {
            frmOptions* dialog = program_.Preferences();
            ASSERT_TRUE(dialog && dialog->IsOpen());
            EXPECT_TRUE(IsWindowVisible(dialog->hWnd()));
            script(*dialog);
            if (dialog->IsOpen()) dialog->Unload();
        }, WhenUp());
        program_.OpenPreferences(page);
        EXPECT_EQ(program_.Preferences(), nullptr) << "closing unloads the dialog";
    }
    std::vector<std::string> opened_;
};

TEST_F(PreferencesTest, EachRouteOpensItsPageWithTheSettingsInForce) {
    Write("monitor.ini", "[General]\r\nCheckInterval=45\r\nTransPerc=200\r\n[Colors]\r\nNormal=150\r\nError=40\r\n");
    Write("sites.txt", "a.test\r\nb.test\r\n");
    Start();
    // The about button of the bottom bar, either sites button, then the popup menu's item.
    int shown = -1;
    test::ModalScript about(NotePage(shown), WhenUp());
    Form().FormToolBoxClick(1, 100, 100, "bottom");
    EXPECT_EQ(shown, 4);
    for (float x : {2200.0f, 2500.0f}) {
        test::ModalScript sites(NotePage(shown), WhenUp());
        Form().FormToolBoxClick(1, x, 100, "bottom");
        EXPECT_EQ(shown, 1) << x;
    }
    // Asked for while a check step is on the stack (a click among the events the step lets
    // run), the dialog waits for the step to end.
    shown = -1;
    bool busyWhenUp = true;
    test::ModalScript deferred([&] {
        busyWhenUp = Model().CheckBusy();
        NotePage(shown)();
    }, WhenUp());
    // No tick of the timer's own while the dialog is up: the one below is the only step.
    Form().SetCheckTimerEnabled(false);
    const LPARAM at = MAKELPARAM(TwipsToPixels(2250, SystemDpi()), TwipsToPixels(100, SystemDpi()));
    PostMessageA(Form().barBottom().hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(Form().barBottom().hWnd(), WM_LBUTTONUP, 0, at);
    program_.CheckNow();
    program_.CheckTimerTick();
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(busyWhenUp);

    // The right button's popup: the dialog's menu with its one item, the dialog loaded
    // but not shown. (Under Wine the menu's loop takes no posted keys, so it is closed.)
    std::string item;
    test::ModalScript menu([&] {
        HWND menuWindow = FindWindowA("#32768", nullptr);
        ASSERT_NE(menuWindow, nullptr);
        auto menuHandle = reinterpret_cast<HMENU>(SendMessageA(menuWindow, 0x01E1 /* MN_GETHMENU */, 0, 0));
        char text[64] = {};
        GetMenuStringA(menuHandle, 0, text, sizeof text, MF_BYPOSITION);
        item = text;
        EXPECT_EQ(GetMenuItemCount(menuHandle), 1);
        EXPECT_EQ(GetMenuItemID(menuHandle, 0), frmOptions::kMenuPreferences);
        EndMenu();
    }, [] { return FindWindowA("#32768", nullptr) != nullptr; });
    program_.ShowPopupMenu();
    EXPECT_EQ(item, "Preferences");
    ASSERT_NE(program_.Preferences(), nullptr);
    EXPECT_FALSE(program_.Preferences()->IsOpen());

    WithDialog(0, [&](frmOptions& d) {
        EXPECT_EQ(d.sldPing().GetValue(), 45);
        EXPECT_EQ(TextOf(d.txtCurrentInterval()), "45");
        EXPECT_EQ(d.sldTrans().GetValue(), 200);
        EXPECT_EQ(d.sldNormalColor().GetValue(), 150);
        EXPECT_EQ(d.sldErrorColor().GetValue(), 40);
        EXPECT_EQ(d.ssNormal().BackHue(), 150);
        EXPECT_EQ(d.ssError().BackHueError(), 40);
        EXPECT_EQ(d.ssError().PingValue(), "Not responding");
        EXPECT_EQ(TextOf(d.txtSites()), "a.test\r\nb.test\r\n");
        EXPECT_EQ(TextOf(d.lblInfo()), "Vestrel Corvale Version 1.0 Build 22\r\n\r\nVestrel\r\n\r\n");
        EXPECT_EQ(TextOf(GetParent(d.txtSites())), "") << "pages carry no text of their own";
        EXPECT_TRUE(IsWindowEnabled(d.hWnd()));
        EXPECT_FALSE(IsWindowEnabled(Form().hWnd())) << "modal over the main window";
        RECT client{};
        GetClientRect(d.hWnd(), &client);
        EXPECT_EQ(client.right, TwipsToPixels(5595, SystemDpi()));
        EXPECT_EQ(client.bottom, TwipsToPixels(4575, SystemDpi()));
        EXPECT_EQ(TextOf(d.hWnd()), "Preferences");

        // Tab runs in reading order: the page buttons, then the visible page, then Save and Cancel.
        std::vector<HWND> order;
        HWND at = d.cmdToolBar(0).hWnd();
        for (int i = 0; i < 13 && at; ++i, at = GetNextDlgTabItem(d.hWnd(), at, FALSE)) order.push_back(at);
        ASSERT_EQ(order.size(), 13u);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(order[i], d.cmdToolBar(i).hWnd()) << i;
        EXPECT_EQ(order[6], d.chkStartup());
        EXPECT_EQ(order[7], d.sldPing().hWnd());
        EXPECT_EQ(order[8], d.txtCurrentInterval());
        EXPECT_EQ(order[9], d.chkNotify());
        EXPECT_EQ(order[10], d.chkLog());
        EXPECT_EQ(TextOf(order[11]), "Save");
        EXPECT_EQ(TextOf(order[12]), "Cancel");

        // Enter on a focused page button presses it; Escape cancels.
        SetFocus(d.cmdToolBar(3).hWnd());
        SendMessageA(d.hWnd(), WM_COMMAND, IDOK, 0);
        EXPECT_EQ(d.FrontPage(), 3);
        EXPECT_TRUE(IsWindowVisible(d.picTab(3)));
        EXPECT_FALSE(IsWindowVisible(d.picTab(0)));
        SendMessageA(d.hWnd(), WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(IsWindowEnabled(Form().hWnd()));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(PreferencesTest, SaveStoresTheSlidersAndRebuildsTilesAndWindow) {
    Write("monitor.ini", "[Colors]\r\nNormal=150\r\nError=40\r\n");
    Write("sites.txt", "a.test\r\nb.test\r\nc.test\r\nd.test\r\ne.test\r\n");
    Start();
    ScriptedEngine::Get().replies["b.test"] = {0, 9};
    RunRound();
    ASSERT_EQ(Form().SiteStat(1).PingValue(), "Not responding");

    bool timerDuringSave = true;
    WithDialog(1, [&](frmOptions& d) {
        Key(d.sldPing().hWnd(), VK_END);
        EXPECT_EQ(TextOf(d.txtCurrentInterval()), "120");
        Key(d.sldNormalColor().hWnd(), VK_HOME);
        Key(d.sldErrorColor().hWnd(), VK_END);
        // The list shortened from five sites to three: b.test, now failing, goes first.
        SetWindowTextA(d.txtSites(), "b.test\r\nc.test\r\nnew.test\r\n");
        // Save pauses the timer: seen from the message a failed list write would show.
        program_.MessageSink = [&](std::string_view) { timerDuringSave = Form().CheckTimerEnabled(); };
        SetFileAttributesA(folder_.File("sites.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        Click(GetDlgItem(d.hWnd(), frmOptions::kIdSave));
    });
    EXPECT_FALSE(timerDuringSave);
    EXPECT_TRUE(Form().CheckTimerEnabled()) << "restarted with sites";
    EXPECT_EQ(Ini("General", "CheckInterval"), "120");
    EXPECT_EQ(Ini("Colors", "Normal"), "0");
    EXPECT_EQ(Ini("Colors", "Error"), "255");
    EXPECT_EQ(Model().SiteLast(), 2) << "the edited text is the list, though the file could not take it";
    // b.test keeps its failure where it moved to; new.test shows nothing borrowed from the
    // site that had its index.
    ctlSiteStat& moved = Form().SiteStat(0);
    EXPECT_EQ(moved.PingValue(), "Not responding");
    EXPECT_EQ(moved.CurrentPair().hue, 255) << "the error colours, in the new hue";
    EXPECT_EQ(Form().picSite(0).BackColor(), kSquareRed);
    ctlSiteStat& added = Form().SiteStat(2);
    EXPECT_EQ(added.SiteURL(), "new.test");
    EXPECT_EQ(added.PingValue(), "");
    EXPECT_EQ(added.CurrentPair().hue, 0) << "the normal colours";
    for (int bar = 0; bar < kGraphBarCount; ++bar) EXPECT_EQ(added.Graph().Value(bar), 0) << bar;
    EXPECT_EQ(Form().picSite(2).BackColor(), kSquareGrey);
    EXPECT_EQ(Tips()[2]->Text(), "Not checked yet");
    // Tiles 3 and 4 are left below the window, with the new hues all the same.
    ASSERT_EQ(Form().SiteStatCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Form().SiteStat(i).BackHue(), 0) << i;
        EXPECT_EQ(Form().SiteStat(i).BackHueError(), 255) << i;
    }
    RECT client{};
    GetClientRect(Form().hWnd(), &client);
    EXPECT_EQ(client.bottom, TwipsToPixels(LayoutFor(false, 2).height, SystemDpi()));
    SetFileAttributesA(folder_.File("sites.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(PreferencesTest, UneditedSaveKeepsEveryResultAndAnEmptyListStopsTheTimer) {
    Write("sites.txt", "a.test\r\ndown.test\r\nc.test\r\n");
    Start();
    ScriptedEngine::Get().replies["down.test"] = {0, 11};
    RunRound();
    ASSERT_EQ(Form().SiteStat(1).PingValue(), "Not responding");
    WithDialog(1, [&](frmOptions& d) { Click(GetDlgItem(d.hWnd(), frmOptions::kIdSave)); });
    EXPECT_EQ(Read("sites.txt"), "a.test\r\ndown.test\r\nc.test\r\n");
    EXPECT_EQ(Site(0).PingText, "10 ms");
    ctlSiteStat& down = Form().SiteStat(1);
    EXPECT_EQ(down.PingValue(), "Not responding");
    EXPECT_EQ(down.CurrentPair().hue, down.BackHueError()) << "still red, before the round reaches it";
    EXPECT_EQ(Form().picSite(1).BackColor(), kSquareRed);
    EXPECT_EQ(Form().SiteStat(0).CurrentPair().hue, Form().SiteStat(0).BackHue());
    EXPECT_TRUE(Form().CheckTimerEnabled());

    WithDialog(1, [&](frmOptions& d) {
        SetWindowTextA(d.txtSites(), "");
        Click(GetDlgItem(d.hWnd(), frmOptions::kIdSave));
    });
    EXPECT_EQ(Model().SiteLast(), -1);
    EXPECT_FALSE(Form().CheckTimerEnabled());
    RECT client{};
    GetClientRect(Form().hWnd(), &client);
    EXPECT_EQ(client.bottom, TwipsToPixels(LayoutFor(false, -1).height, SystemDpi()));
    EXPECT_EQ(Read("sites.txt"), "");
}

TEST_F(PreferencesTest, CancelKeepsEverythingButThePreviews) {
    Write("monitor.ini", "[General]\r\nTransPerc=255\r\n[Colors]\r\nNormal=150\r\nError=40\r\n");
    Write("sites.txt", "a.test\r\n");
    Start();
    const std::string iniBefore = Read("monitor.ini");
    WithDialog(2, [&](frmOptions& d) {
        Key(d.sldNormalColor().hWnd(), VK_HOME);
        Key(d.sldErrorColor().hWnd(), VK_HOME);
        EXPECT_EQ(d.ssNormal().BackHue(), 0) << "the preview follows the slider";
        EXPECT_EQ(d.ssError().BackHueError(), 0);
        d.cmdToolBar_Click(3);
        Key(d.sldTrans().hWnd(), VK_HOME);
        EXPECT_EQ(AlphaOf(Form().hWnd()), 30) << "the main window previews at once";
        Click(GetDlgItem(d.hWnd(), frmOptions::kIdCancel));
    });
    EXPECT_EQ(Read("monitor.ini"), iniBefore);
    EXPECT_EQ(Settings().NormalHue, 150);
    EXPECT_EQ(Settings().TransPerc, 255);
    EXPECT_EQ(Form().SiteStat(0).BackHue(), 150);
    EXPECT_EQ(AlphaOf(Form().hWnd()), 30) << "the previewed alpha stays until the next start";
}

TEST_F(PreferencesTest, StartupNotifyAndLogBoxesActAtOnce) {
    test::StartupEntryGuard guard;
    Write("monitor.ini", "[General]\r\nStartup=0\r\n");
    Start();
    const std::string entry = test::Stored(folder_.Folder() + ProgramFileStem(ProgramModulePath()) + ".exe");
    WithDialog(0, [&](frmOptions& d) {
        EXPECT_EQ(SendMessageA(d.chkStartup(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        Click(d.chkStartup());
        auto value = test::ReadValue(kRunKeyPath, "Corvale");
        ASSERT_TRUE(value);
        EXPECT_EQ(value->data, entry);
        EXPECT_EQ(Ini("General", "Startup"), "1");
        Click(d.chkStartup());
        EXPECT_FALSE(test::ReadValue(kRunKeyPath, "Corvale"));
        EXPECT_EQ(Ini("General", "Startup"), "0");
        Click(d.chkStartup());  // on again, then Cancel: the choice is stored already
        EXPECT_EQ(SendMessageA(d.chkNotify(), BM_GETCHECK, 0, 0), BST_CHECKED) << "no key: on";
        Click(d.chkNotify());
        EXPECT_EQ(Ini("General", "Notify"), "0");
        EXPECT_EQ(SendMessageA(d.chkLog(), BM_GETCHECK, 0, 0), BST_UNCHECKED) << "no key: off";
        Click(d.chkLog());
        EXPECT_EQ(Ini("General", "Log"), "1");
        Click(GetDlgItem(d.hWnd(), frmOptions::kIdCancel));
    });
    EXPECT_EQ(Ini("General", "Startup"), "1");
    EXPECT_FALSE(Settings().Notify);
    EXPECT_TRUE(Settings().Log) << "on for the running program too";

    // "Startup" 1 in the file registers again at the opening, even with the entry gone.
    clsRegistry().RemoveFromStartup();
    WithDialog(0, [&](frmOptions& d) { EXPECT_EQ(SendMessageA(d.chkStartup(), BM_GETCHECK, 0, 0), BST_CHECKED); });
    EXPECT_TRUE(test::ReadValue(kRunKeyPath, "Corvale"));

    // 2 shows greyed and leaves the registry alone; 7 shows unchecked and touches nothing.
    for (const char* stored : {"2", "7"}) {
        clsRegistry().RemoveFromStartup();
        program_.StoreStartup(static_cast<int16_t>(std::stoi(stored)));
        WithDialog(0, [&](frmOptions& d) {
            EXPECT_EQ(SendMessageA(d.chkStartup(), BM_GETCHECK, 0, 0),
                      std::string(stored) == "2" ? BST_INDETERMINATE : BST_UNCHECKED);
        });
        EXPECT_FALSE(test::ReadValue(kRunKeyPath, "Corvale")) << stored;
        EXPECT_EQ(Ini("General", "Startup"), stored);
    }
}

TEST_F(PreferencesTest, TheAlertsPageIsStoredOnSaveAndItsTestSaysWhatCameBack) {
    Write("sites.txt", "a.test\r\n");
    Start();
    WithDialog(frmOptions::kAlertsPage, [&](frmOptions& d) {
        EXPECT_EQ(TextOf(d.txtWebHookBody()), "%MESSAGE%");
        Click(d.chkSound());
        SetWindowTextA(d.txtCommand(), "notify.exe %NAME% %STATE%");
        // A port on loopback that nothing listens on: the test fails, and says why.
        SetWindowTextA(d.txtWebHook(), "http://127.0.0.1:9/hook");
        Click(GetDlgItem(d.picTab(frmOptions::kAlertsPage), frmOptions::kIdTestWebHook));
        for (int i = 0; i < 200 && TextOf(d.lblWebHookOutcome()) == "Sending..."; ++i) test::PumpMessagesFor(50);
        EXPECT_EQ(TextOf(d.lblWebHookOutcome()).rfind("Failed: ", 0), 0u) << TextOf(d.lblWebHookOutcome());
        Click(GetDlgItem(d.hWnd(), frmOptions::kIdSave));
    });
    EXPECT_EQ(Ini("Alerts", "Sound"), "1");
    EXPECT_EQ(Ini("Alerts", "Command"), "notify.exe %NAME% %STATE%");
    EXPECT_EQ(Ini("Alerts", "WebHook"), "http://127.0.0.1:9/hook");
    EXPECT_TRUE(Settings().Sound) << "in effect at once";
}

TEST_F(PreferencesTest, StoredValuesBeyondTheSlidersSurviveAnOpeningAndASave) {
    Write("monitor.ini",
          "[General]\r\nCheckInterval=300\r\nTransPerc=15\r\n[Colors]\r\nNormal=-20\r\nError=400\r\n");
    Write("sites.txt", "a.test\r\n");
    Start();
    WithDialog(0, [&](frmOptions& d) {
        EXPECT_EQ(d.sldPing().GetValue(), 120) << "at the nearest end";
        EXPECT_EQ(TextOf(d.txtCurrentInterval()), "300") << "the stored value as it is";
        EXPECT_EQ(d.sldTrans().GetValue(), 30);
        EXPECT_EQ(d.sldNormalColor().GetValue(), 0);
        EXPECT_EQ(d.sldErrorColor().GetValue(), 255);
        Key(d.sldErrorColor().hWnd(), VK_LEFT);  // only this one moved
        Click(GetDlgItem(d.hWnd(), frmOptions::kIdSave));
    });
    EXPECT_EQ(Ini("General", "CheckInterval"), "300");
    EXPECT_EQ(Ini("General", "TransPerc"), "15");
    EXPECT_EQ(Ini("Colors", "Normal"), "-20");
    EXPECT_EQ(Ini("Colors", "Error"), "254");
}

TEST_F(PreferencesTest, AnUnreadableListIsNotOverwrittenByAnUneditedSave) {
    Write("sites.txt", "kept.test\r\n");
    // Another program holds the file without sharing it while Corvale starts.
    HANDLE lock = CreateFileA(folder_.File("sites.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Start();
    CloseHandle(lock);
    EXPECT_EQ(Model().SiteLast(), -1);
    WithDialog(1, [&](frmOptions& d) { Click(GetDlgItem(d.hWnd(), frmOptions::kIdSave)); });
    EXPECT_EQ(Read("sites.txt"), "kept.test\r\n");
    EXPECT_EQ(Model().SiteLast(), 0) << "the load after the save reads the file, now free";
    EXPECT_TRUE(messages_.empty());
}

TEST_F(PreferencesTest, SquaresAndTipsBeyondAShrinkingListGoInBothModes) {
    Write("monitor.ini", "[General]\r\nMiniMode=True\r\n");
    Write("sites.txt", "a.test\r\nb.test\r\nc.test\r\nd.test\r\ne.test\r\n");
    Start();
    // Before the first round every square is grey: none has answered yet. (The round is
    // held off while the squares are drawn.)
    Form().SetCheckTimerEnabled(false);
    test::PumpMessagesFor(100);
    for (int i = 0; i < 5; ++i) {
        ImageBox& square = Form().picSite(i);
        RECT r{};
        GetClientRect(square.hWnd(), &r);
        EXPECT_TRUE(IsWindowVisible(square.hWnd())) << i;
        EXPECT_EQ(test::WindowPixel(square.hWnd(), r.right / 2, r.bottom / 2), kSquareGrey) << i;
        EXPECT_EQ(Tips()[static_cast<std::size_t>(i)]->Text(), "Not checked yet") << i;
    }
    EXPECT_TRUE(test::SaveWindowPng(Form().hWnd(), CORVALE_SCREENSHOT_DIR "/main-mini-unchecked.png"));

    auto saveList = [&](const char* text) {
        WithDialog(1, [&](frmOptions& d) {
            SetWindowTextA(d.txtSites(), text);
            Click(GetDlgItem(d.hWnd(), frmOptions::kIdSave));
        });
    };
    auto visibleSquares = [&] {
        int visible = 0;
        for (int i = 0; i < Form().picSiteCount(); ++i) visible += IsWindowVisible(Form().picSite(i).hWnd()) ? 1 : 0;
        return visible;
    };
    saveList("a.test\r\nb.test\r\nc.test\r\n");
    EXPECT_EQ(visibleSquares(), 3);
    EXPECT_EQ(Tips().size(), 3u);
    Form().LeaveMiniMode();
    EXPECT_EQ(visibleSquares(), 0) << "no square left on the caption strip";

    Form().EnterMiniMode();
    saveList("");
    EXPECT_EQ(visibleSquares(), 0);
    EXPECT_TRUE(Tips().empty());
    Form().LeaveMiniMode();
    EXPECT_EQ(visibleSquares(), 0);
}

TEST_F(PreferencesTest, AFirstRunIsOpaqueWritesNothingAndOpensTheSitesPage) {
    Start();
    EXPECT_TRUE(program_.FirstRun());
    EXPECT_EQ(AlphaOf(Form().hWnd()), 255);
    EXPECT_EQ(Settings().NormalHue, 127);
    EXPECT_EQ(Settings().ErrorHue, 42);
    EXPECT_EQ(Settings().CheckInterval, 20.0f);
    EXPECT_EQ(folder_.EntryCount(), 0u) << "nothing is written at start";

    // Clear of the stand-in notification area Wine opens at the top left.
    SetWindowPos(Form().hWnd(), nullptr, 240, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    int shown = -1;
    test::ModalScript greeting([&] {
        frmOptions& d = *program_.Preferences();
        shown = d.FrontPage();
        // For the read-me's picture: the dialog beside the window it belongs to.
        RECT main{}, dialog{};
        GetWindowRect(Form().hWnd(), &main);
        SetWindowPos(d.hWnd(), nullptr, main.right + 8, main.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        GetWindowRect(d.hWnd(), &dialog);
        test::PumpMessagesFor(100);
        RECT both{main.left, main.top, dialog.right, std::max(main.bottom, dialog.bottom)};
        EXPECT_TRUE(test::SaveScreenPng(both, CORVALE_SCREENSHOT_DIR "/first-run.png"));
        d.Unload();
    }, WhenUp());
    program_.GreetFirstRun();
    EXPECT_EQ(shown, 1);

    // A list of sites alone is no first run: the window just shows them.
    Write("sites.txt", "a.test\r\n");
    CorvaleProgram second;
    second.EndProgram = [] {};
    second.Model().Engine().Use(ScriptedEngine::Install());
    ASSERT_TRUE(second.Main(folder_.File("Corvale.exe")));
    EXPECT_FALSE(second.FirstRun());
    second.GreetFirstRun();
    EXPECT_EQ(second.Preferences(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(folder_.File("monitor.ini")));
}

TEST_F(PreferencesTest, AFolderOfAnyNameAndSitesTypedInAnyScript) {
    test::StartupEntryGuard guard;
    test::TempFolder folder("\xD0\x9A\xD0\xBE\xD1\x80\xD0\xB2\xD0\xB0\xD0\xBB\xD0\xB5-\xE6\xBC\xA2\xE5\xAD\x97-\xF0\x9F\x98\x80");
    test::WriteBytes(folder.File("monitor.ini"), "[General]\r\nStartup=0\r\n");
    test::WriteBytes(folder.File("sites.txt"), "\xEF\xBB\xBF" "a.test\nb.test\n");
    ASSERT_TRUE(program_.Main(folder.File("Corvale.exe")));
    EXPECT_EQ(Settings().AppFolder, folder.Folder());
    ASSERT_EQ(Model().SiteLast(), 1) << "a line per site: LF line ends, no mark in the first";
    EXPECT_EQ(Site(0).Url, "a.test");
    RunRound();
    EXPECT_EQ(Form().SiteStat(1).PingValue(), "10 ms");
    Form().EnterMiniMode();
    EXPECT_NE(test::ReadBytes(folder.File("monitor.ini")).find("MiniMode=True"), std::string::npos);
    Form().LeaveMiniMode();

    // Typed into the box: the characters take the dialog's own loop, as keys would. (On
    // Windows a narrow loop or box would make them "?"; Wine keeps them either way, so here
    // what is checked is the way from the box to the table and the file and back.)
    const std::wstring typed = L"\x043F\x0440\x0438\x043C\x0435\x0440.test";
    const std::string typedUtf8 = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xBC\xD0\xB5\xD1\x80.test";
    test::ModalScript typing([&] {
        frmOptions& d = *program_.Preferences();
        SetFocus(d.txtSites());
        SendMessageW(d.txtSites(), EM_SETSEL, 0, -1);
        for (wchar_t c : L"a.test\r" + typed) PostMessageW(d.txtSites(), WM_CHAR, c, 1);
        HWND save = GetDlgItem(d.hWnd(), frmOptions::kIdSave);
        PostMessageW(d.hWnd(), WM_COMMAND, MAKEWPARAM(frmOptions::kIdSave, BN_CLICKED), reinterpret_cast<LPARAM>(save));
    }, WhenUp());
    program_.OpenPreferences(1);
    ASSERT_EQ(Model().SiteLast(), 1);
    EXPECT_EQ(Site(1).Url, typedUtf8);
    EXPECT_EQ(test::ReadBytes(folder.File("sites.txt")), "a.test\r\n" + typedUtf8) << "UTF-8, CR LF, no mark";
    WithDialog(0, [&](frmOptions& d) {
        wchar_t shown[64] = {};
        GetWindowTextW(d.txtSites(), shown, 64);
        EXPECT_EQ(std::wstring(shown), L"a.test\r\n" + typed);
        Click(d.chkStartup());
    });
    auto entry = test::ReadValue(kRunKeyPath, "Corvale");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->data, test::Stored(folder.Folder() + ProgramFileStem(ProgramModulePath()) + ".exe"));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(PreferencesTest, AFolderThatCannotBeWrittenSaysSoOnceAndKeepsTheEdits) {
    test::StartupEntryGuard guard;
    Write("monitor.ini", "[General]\r\nCheckInterval=30\r\nStartup=0\r\n");
    Write("sites.txt", "a.test\r\n");
    Start();
    // Held by another program: the file cannot be written, as in a folder the user may not
    // write (the tests may run as root, which no read-only mark or folder would stop).
    KernelHandle held(CreateFileA(folder_.File("monitor.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    SetFileAttributesA(folder_.File("sites.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    WithDialog(0, [&](frmOptions& d) {
        // Not stored, so not made: the next start would remove the entry again.
        Click(d.chkStartup());
        EXPECT_EQ(SendMessageA(d.chkStartup(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_FALSE(test::ReadValue(kRunKeyPath, "Corvale"));
        Key(d.sldPing().hWnd(), VK_END);
        SetWindowTextA(d.txtSites(), "a.test\r\nb.test\r\n");
        Click(GetDlgItem(d.hWnd(), frmOptions::kIdSave));
    });
    const std::string notSaved = "Settings could not be saved.\r\n\r\n" + folder_.Folder();
    EXPECT_EQ(messages_, (std::vector<std::string>{notSaved, "Sites file could not be saved.\r\n" + notSaved}));
    EXPECT_EQ(Settings().CheckInterval, 120.0f) << "the edit stays in effect for this session";
    EXPECT_EQ(Model().SiteLast(), 1);
    Form().EnterMiniMode();
    EXPECT_EQ(messages_.size(), 3u) << "once per switch";
    EXPECT_TRUE(Settings().MiniMode);
    held.Close();
    SetFileAttributesA(folder_.File("sites.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Ini("General", "CheckInterval"), "30");
}

// Where a control is in its parent, against where its twips put it at `dpi`.
bool PlacedAt(HWND control, float left, float top, float width, float height, int dpi) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    const PixelBox box = TwipsBoxToPixels(left, top, width, height, dpi);
    return r.left == box.x && r.top == box.y && r.right - r.left == box.width && r.bottom - r.top == box.height;
}

TEST_F(PreferencesTest, ANewScaleLaysTheDialogOutAgainWithItsValues) {
    Write("monitor.ini", "[Colors]\r\nNormal=150\r\nError=40\r\n");
    Write("sites.txt", "www.example.com\r\n");
    Start();
    WithDialog(2, [&](frmOptions& d) {
        for (const int dpi : {144, 192, SystemDpi()}) {
            RECT window{};
            GetWindowRect(d.hWnd(), &window);
            const RECT suggested{window.left + 3, window.top + 4, window.right, window.bottom};
            SendMessageA(d.hWnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
            test::PumpMessages();
            GetWindowRect(d.hWnd(), &window);
            EXPECT_EQ(window.left, suggested.left);
            RECT client{};
            GetClientRect(d.hWnd(), &client);
            EXPECT_EQ(client.right, TwipsToPixels(5595, dpi)) << dpi;
            EXPECT_EQ(client.bottom, TwipsToPixels(4575, dpi));
            EXPECT_TRUE(PlacedAt(d.cmdToolBar(4).hWnd(), 3420, 30, 705, 795, dpi));
            EXPECT_TRUE(PlacedAt(d.sldNormalColor().hWnd(), 1800, 360, 3195, 435, dpi));
            EXPECT_TRUE(PlacedAt(d.ssError().hWnd(), 2070, 2070, 2685, 435, dpi));
            EXPECT_TRUE(PlacedAt(d.sldPing().hWnd(), 510, 990, 4665, 405, dpi));
            EXPECT_TRUE(PlacedAt(d.txtCurrentInterval(), 2130, 1680, 1215, 315, dpi));
            HWND save = GetDlgItem(d.hWnd(), frmOptions::kIdSave);
            EXPECT_TRUE(PlacedAt(save, 3120, 4050, 1155, 405, dpi));
            LOGFONTA font{};
            GetObjectA(reinterpret_cast<HFONT>(SendMessageA(save, WM_GETFONT, 0, 0)), sizeof font, &font);
            EXPECT_EQ(font.lfHeight, -std::lround(8.25 * dpi / 72)) << dpi;
        }
        // The values are where they were.
        EXPECT_EQ(d.sldNormalColor().GetValue(), 150);
        EXPECT_EQ(TextOf(d.txtSites()), "www.example.com\r\n");
        EXPECT_EQ(d.FrontPage(), 2);
    });
}

TEST_F(PreferencesTest, LinksShutDownAndScreenshots) {
    Write("monitor.ini", "[Colors]\r\nNormal=150\r\nError=40\r\n");
    Write("sites.txt", "www.example.com\r\n");
    Start();
    const char* names[] = {"general", "sites", "colors", "window", "about", "alerts"};
    WithDialog(4, [&](frmOptions& d) {
        for (int id : {frmOptions::kIdReadme, frmOptions::kIdWebsite, frmOptions::kIdMore})
            Click(GetDlgItem(d.picTab(4), id));
        EXPECT_EQ(TextOf(GetDlgItem(d.picTab(4), frmOptions::kIdWebsite)), "Visit Product Website");
        for (int page = 0; page < frmOptions::kPageCount; ++page) {
            d.cmdToolBar_Click(page);
            RedrawWindow(d.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            test::PumpMessagesFor(50);
            const std::string suffix = SystemDpi() == 96 ? "" : "-" + std::to_string(SystemDpi()) + "dpi";
            EXPECT_TRUE(test::SaveWindowPng(d.hWnd(), std::string(CORVALE_SCREENSHOT_DIR "/preferences-") +
                                                          names[page] + suffix + ".png"));
        }
        // The tray's Exit while the dialog is up: the dialog goes with the program.
        program_.ShutDown();
        EXPECT_FALSE(IsWindowVisible(d.hWnd()));
    });
    ASSERT_EQ(opened_.size(), 3u);
    EXPECT_EQ(opened_[0], folder_.Folder() + "readme.txt");
    EXPECT_EQ(opened_[1], kProductWebPage);
    EXPECT_EQ(opened_[2], kMakerWebPage);
}

}  // namespace
}  // namespace corvale
