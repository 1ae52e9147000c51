// The program against the real engine on the private test network (run through
// scripts/netns-testbed): loopback, a host that answers, one that answers late, one that
// never answers and a name that cannot be resolved; a host that stops answering while the
// program runs, and answers again, as the notification area tells it; and the whole network
// gone for a while, as the notification area and the log tell it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ShellBalloons.h"
#include "TempFolder.h"
#include "WinTestSupport.h"
#include "monitor/AppFolder.h"
#include "monitor/LogFolder.h"
#include "monitor/WideText.h"
#include "monitor/basMain.h"
#include "ui/base/Dpi.h"
#include "ui/base/Twips.h"
#include "ui/main/MainLayout.h"

namespace corvale {
namespace {

TEST(EndToEnd, TilesSquaresAndTipsFollowEverySiteOnTheTestNetwork) {
    const char* net = std::getenv("TARNEL_TESTBED");
    if (!net || !*net) GTEST_SKIP() << "no test network; this runs through scripts/netns-testbed (needs root)";
    const std::string host = net;
    test::TempFolder folder;
    std::filesystem::copy_file(ProgramFolder() + "tarnel.dll", folder.File("tarnel.dll"));
    test::WriteBytes(folder.File("monitor.ini"), "[General]\r\nMiniMode=True\r\n");
    const std::string sites[] = {"127.0.0.1", host + ".2", host + ".11", host + ".10", "no-such-host.invalid"};
    std::string list;
    for (const std::string& s : sites) list += s + "\r\n";
    test::WriteBytes(folder.File("sites.txt"), list);

    CorvaleProgram program;
    bool ended = false;
    program.EndProgram = [&ended] { ended = true; };
    ASSERT_TRUE(program.Main(folder.File("Corvale.exe")));
    frmMain& form = program.MainWindow();
    ASSERT_TRUE(form.CheckTimerEnabled());

    // The first round: two quick sites twice, the late and the silent one twice, the last once.
    bool started = false;
    const DWORD begin = GetTickCount();
    while (GetTickCount() - begin < 30000 && !(started && !program.Model().CheckCycle().RoundRunning)) {
        test::PumpMessagesFor(20);
        started = started || program.Model().CheckCycle().RoundRunning;
    }
    ASSERT_FALSE(program.Model().CheckCycle().RoundRunning) << "the round did not end";

    struct Expect {
        bool answers;
        uint32_t square;
        std::string address;  // what the engine resolved the site to
        std::string reason;   // the engine's, on a failed site's tip
    };
    const Expect expected[] = {{true, kSquareGreen, "127.0.0.1", ""},
                               {true, kSquareGreen, host + ".2", ""},
                               {true, kSquareYellow, host + ".11", ""},
                               {false, kSquareRed, host + ".10", "\r\ntimed out"},
                               {false, kSquareRed, "no-such-host.invalid", "\r\nhost not found"}};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(sites[i]);
        const SiteRecord& record = program.Model().Sites()[static_cast<std::size_t>(i)];
        ctlSiteStat& tile = form.SiteStat(i);
        EXPECT_EQ(tile.SiteURL(), sites[i]);
        EXPECT_EQ(form.picSite(i).BackColor(), expected[i].square);
        EXPECT_EQ(record.NotResponding, !expected[i].answers);
        if (expected[i].answers) {
            EXPECT_EQ(tile.PingValue(), std::to_string(record.PingMs) + " ms");
            EXPECT_EQ(tile.CurrentPair().hue, tile.BackHue());
        } else {
            EXPECT_EQ(tile.PingValue(), "Not responding");
            EXPECT_EQ(tile.CurrentPair().hue, tile.BackHueError());
        }
        EXPECT_EQ(tile.Graph().Value(0), record.PingMs) << "the newest bar";
        ASSERT_TRUE(program.Tiles().SiteTooltips[static_cast<std::size_t>(i)]);
        EXPECT_EQ(record.Address, expected[i].address);
        const std::string tip = program.Tiles().SiteTooltips[static_cast<std::size_t>(i)]->Text();
        EXPECT_EQ(tip.rfind("Ping: " + std::to_string(record.PingMs) + " ms " + expected[i].reason + "\r\n", 0), 0u)
            << tip;
        EXPECT_EQ(program.Tiles().SiteTooltips[static_cast<std::size_t>(i)]->Title(), sites[i]);
        EXPECT_EQ(program.Tiles().SiteTooltips[static_cast<std::size_t>(i)]->HwndParentControl(), form.picSite(i).hWnd());
    }
    EXPECT_GT(program.Model().Sites()[2].PingMs, 800) << "the late host";
    EXPECT_LT(program.Model().Sites()[2].PingMs, 2000);

    // The close button of the tool box ends the program, after the engine has stopped.
    form.FormToolBoxClick(1, 750, 140, "topright_max");
    EXPECT_TRUE(ended);
    EXPECT_TRUE(program.ShuttingDown());
    std::string text;
    int32_t ms = 0, code = 0;
    EXPECT_EQ(program.Model().Engine().EnginePingCheck(text, ms, code), -1) << "the engine is stopped";
}

// Lists the test hosts that stay silent (their last byte), through the test network's file.
void Silence(const std::string& hosts) {
    std::string path = std::getenv("TARNEL_TESTBED_SILENT");
    for (char& c : path) c = c == '/' ? '\\' : c;
    std::ofstream("Z:" + path, std::ios::trunc) << hosts << "\n";
}

// Takes the test network's link down ("down") or brings it back ("up"), through its file.
void SetLink(const char* state) {
    std::string path = std::getenv("TARNEL_TESTBED_LINK");
    for (char& c : path) c = c == '/' ? '\\' : c;
    std::ofstream("Z:" + path, std::ios::trunc) << state << "\n";
    Sleep(500);  // the test network looks at it ten times a second
}

// Starts the next round at once and serves events until it has ended.
void RunRoundNow(CorvaleProgram& program) {
    program.CheckNow();
    bool started = false;
    const DWORD begin = GetTickCount();
    while (GetTickCount() - begin < 30000 && !(started && !program.Model().CheckCycle().RoundRunning)) {
        test::PumpMessagesFor(20);
        started = started || program.Model().CheckCycle().RoundRunning;
    }
}

// Starts the program from `folder` with the engine beside it and its tray icon, and runs its
// first round. False when it did not start so.
bool StartWithIcon(CorvaleProgram& program, const test::TempFolder& folder) {
    std::filesystem::copy_file(ProgramFolder() + "tarnel.dll", folder.File("tarnel.dll"));
    program.EndProgram = [] {};
    if (!program.Main(folder.File("Corvale.exe")) || !program.MainWindow().TrayIconAdded()) return false;
    RunRoundNow(program);
    return true;
}

std::vector<std::string> BalloonTexts(const std::vector<test::ShellBalloon>& balloons) {
    std::vector<std::string> texts;
    for (const auto& balloon : balloons) texts.push_back(balloon.text);
    return texts;
}

TEST(EndToEnd, AHostThatStopsAndStartsAnsweringIsToldOnceEachWay) {
    const char* net = std::getenv("TARNEL_TESTBED");
    if (!net || !*net || !std::getenv("TARNEL_TESTBED_SILENT"))
        GTEST_SKIP() << "no test network; this runs through scripts/netns-testbed (needs root)";
    const std::string host = std::string(net) + ".3";
    test::TempFolder folder;
    test::WriteBytes(folder.File("sites.txt"), "127.0.0.1\r\n" + host + "\r\n" + net + ".2\r\n");
    Silence("");
    CorvaleProgram program;
    ASSERT_TRUE(StartWithIcon(program, folder));
    ASSERT_FALSE(program.Model().Sites()[1].NotResponding);

    // Silent for two rounds: the second confirms it, and only then is it told.
    Silence("3");
    RunRoundNow(program);
    RunRoundNow(program);
    ASSERT_TRUE(program.Model().Sites()[1].NotResponding);
    EXPECT_EQ(BalloonTexts(test::WatchShellBalloons(4000)), (std::vector<std::string>{host + " is not responding"}));

    Silence("");
    RunRoundNow(program);
    ASSERT_FALSE(program.Model().Sites()[1].NotResponding);
    std::vector<std::string> back;
    for (const std::string& text : BalloonTexts(test::WatchShellBalloons(4000)))
        if (text.find("not responding") == std::string::npos) back.push_back(text);
    ASSERT_EQ(back.size(), 1u);
    const std::string answers = host + " answers again (" + std::to_string(program.Model().Sites()[1].PingMs) + " ms), after ";
    EXPECT_EQ(back[0].rfind(answers, 0), 0u) << back[0];
    EXPECT_EQ(back[0].substr(back[0].size() - 2), " s") << "down for some seconds: " << back[0];
    program.ShutDown();
}

TEST(EndToEnd, TheLinkGoingDownIsOneConnectionNoticeAndTheLogHasEveryHostsOutage) {
    const char* net = std::getenv("TARNEL_TESTBED");
    if (!net || !*net || !std::getenv("TARNEL_TESTBED_LINK"))
        GTEST_SKIP() << "no test network; this runs through scripts/netns-testbed (needs root)";
    const std::vector<std::string> hosts = {std::string(net) + ".2", std::string(net) + ".3", std::string(net) + ".4"};
    test::TempFolder folder;
    test::WriteBytes(folder.File("monitor.ini"), "[General]\r\nLog=1\r\n");
    test::WriteBytes(folder.File("sites.txt"), hosts[0] + "\r\n" + hosts[1] + "\r\n" + hosts[2] + "\r\n");
    CorvaleProgram program;
    ASSERT_TRUE(StartWithIcon(program, folder));
    ASSERT_FALSE(program.Model().Sites()[0].NotResponding || program.Model().Sites()[1].NotResponding || program.Model().Sites()[2].NotResponding);

    SetLink("down");
    RunRoundNow(program);
    RunRoundNow(program);  // every site confirmed down in the same round
    SetLink("up");
    ASSERT_TRUE(program.Model().Sites()[0].NotResponding && program.Model().Sites()[1].NotResponding && program.Model().Sites()[2].NotResponding);
    // The test network's client has no default route: nothing beyond its own link is reachable.
    EXPECT_EQ(BalloonTexts(test::WatchShellBalloons(4000)),
              std::vector<std::string>{"No site answers: this computer has no network connection"});
    RunRoundNow(program);
    const auto back = BalloonTexts(test::WatchShellBalloons(4000));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].rfind("Sites answer again, after ", 0), 0u) << back[0];
    program.ShutDown();

    // The rows name the address each host resolved to, with the engine's code while it failed.
    const std::string day = test::ReadBytes(folder.File("log\\") + DayFileName(LocalTimeNow()));
    const std::string outages = test::ReadBytes(folder.File("log\\outages.csv"));
    for (const std::string& host : hosts) {
        EXPECT_NE(day.find("," + host + "," + host + ",ok,"), std::string::npos) << day;
        EXPECT_NE(day.find("," + host + "," + host + ",no reply,,"), std::string::npos) << day;
        EXPECT_NE(outages.find("\r\n" + host + ","), std::string::npos) << outages;
    }
}

}  // namespace
}  // namespace corvale

namespace corvale {
namespace {

TEST(EndToEnd, TheSiteListEditedInThePreferencesIsWhatThenRuns) {
    const char* net = std::getenv("TARNEL_TESTBED");
    if (!net || !*net) GTEST_SKIP() << "no test network; this runs through scripts/netns-testbed (needs root)";
    const std::string host = net;
    test::TempFolder folder;
    std::filesystem::copy_file(ProgramFolder() + "tarnel.dll", folder.File("tarnel.dll"));
    test::WriteBytes(folder.File("sites.txt"), "127.0.0.1\r\n" + host + ".10\r\n");
    CorvaleProgram program;
    program.EndProgram = [] {};
    ASSERT_TRUE(program.Main(folder.File("Corvale.exe")));
    frmMain& form = program.MainWindow();
    RunRoundNow(program);
    ASSERT_EQ(form.picSite(1).BackColor(), kSquareRed) << "the silent host";

    // The bottom bar's sites button; the silent host goes, two answering ones come.
    const std::string edited = "127.0.0.1\r\n" + host + ".2\r\n" + host + ".4\r\n";
    test::ModalScript edit([&] {
        frmOptions* dialog = program.Preferences();
        ASSERT_TRUE(dialog && dialog->IsOpen());
        EXPECT_EQ(dialog->FrontPage(), 1);
        SetWindowTextA(dialog->txtSites(), edited.c_str());
        SendMessageA(GetDlgItem(dialog->hWnd(), frmOptions::kIdSave), BM_CLICK, 0, 0);
    }, [&] { return program.Preferences() && program.Preferences()->IsOpen(); });
    form.FormToolBoxClick(1, 2250, 100, "bottom");
    EXPECT_EQ(test::ReadBytes(folder.File("sites.txt")), edited);
    EXPECT_EQ(program.Store().Read("General", "CheckInterval"), "20");
    ASSERT_EQ(program.Model().SiteLast(), 2);
    RECT client{};
    GetClientRect(form.hWnd(), &client);
    EXPECT_EQ(client.bottom, TwipsToPixels(LayoutFor(false, 2).height, SystemDpi()));

    RunRoundNow(program);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(form.SiteStat(i).SiteURL(), program.Model().Sites()[static_cast<std::size_t>(i)].Url);
        EXPECT_EQ(form.picSite(i).BackColor(), kSquareGreen);
        EXPECT_NE(form.SiteStat(i).PingValue(), "Not responding");
    }
    program.ShutDown();
}

}  // namespace
}  // namespace corvale

namespace corvale {
namespace {

// On the test network with a router (scripts/netns-testbed --router): each break of the network
// is told for what it is, in the notice and on the tray icon, and the way back is one line.
TEST(EndToEndRouter, EachBreakOfTheNetworkIsToldForWhatItIs) {
    const char* net = std::getenv("TARNEL_TESTBED");
    const char* router = std::getenv("TARNEL_TESTBED_ROUTER");
    if (!net || !router) GTEST_SKIP() << "runs through scripts/netns-testbed --router (needs root)";
    test::TempFolder folder;
    test::WriteBytes(folder.File("monitor.ini"), "[General]\r\nLog=1\r\n");
    test::WriteBytes(folder.File("sites.txt"), std::string(net) + ".2\r\n" + net + ".3\r\n");
    CorvaleProgram program;
    ASSERT_TRUE(StartWithIcon(program, folder));
    const auto balloon = [&] { return Narrow(program.MainWindow().Tray().LastBalloon().szInfo); };
    const auto tip = [&] { return Narrow(program.MainWindow().Tray().Data().szTip); };
    const auto expectTold = [&](const char* state, const std::string& notice, const std::string& stateLine) {
        SCOPED_TRACE(state);
        SetLink(state);
        RunRoundNow(program);
        RunRoundNow(program);  // the sites confirmed down, or the new verdict told
        EXPECT_EQ(balloon(), notice);
        EXPECT_NE(tip().find("\n" + stateLine), std::string::npos) << tip();
    };
    const std::string at = std::string("(") + router + ")";
    expectTold("beyond-down", "No site answers; your router " + at + " answers: the connection beyond it is down",
               "No site answers: router answers, connection beyond it down");
    expectTold("router-down", "No site answers, nor does your router " + at + ": the local network is down",
               "No site answers: router does not answer");
    expectTold("no-route", "No site answers: this computer has no network connection",
               "No site answers: no network connection");

    SetLink("up");
    RunRoundNow(program);
    const std::string back = balloon();
    EXPECT_EQ(back.rfind("Sites answer again, after ", 0), 0u) << back;
    EXPECT_EQ(back.find('\n'), std::string::npos) << back;
    program.ShutDown();
    const std::string outages = test::ReadBytes(folder.File("log\\outages.csv"));
    EXPECT_NE(outages.find("\r\n(connection),"), std::string::npos) << outages;
    EXPECT_NE(outages.find(",beyond router\r\n"), std::string::npos) << outages;
}

}  // namespace
}  // namespace corvale
