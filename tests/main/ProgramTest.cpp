// Start-up and shut-down of the program in-process, under Wine, with a scripted engine:
// the order of the start, its failures, the bounded wait at the end and bad input files.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "ProgramFixture.h"
#include "RegistryTestSupport.h"
#include "ScriptedEngine.h"
#include "ShellBalloons.h"
#include "TempFolder.h"
#include "WinTestSupport.h"
#include "monitor/basMain.h"
#include "ui/base/Dpi.h"
#include "ui/base/Twips.h"

namespace corvale {
namespace {

class ProgramTest : public test::ProgramFixture {
protected:
    bool Start() { return StartProgram(); }
};

TEST_F(ProgramTest, StartsWithTheStoredSettingsAndChecksOnlyWhenThereAreSites) {
    Write("monitor.ini", "[General]\r\nMiniMode=True\r\n");
    Write("sites.txt", "a.test\r\nb.test\r\n");
    ASSERT_TRUE(Start());
    frmMain& form = program_.MainWindow();
    EXPECT_EQ(Model().Settings().AppFolder, folder_.Folder());
    EXPECT_TRUE(IsWindowVisible(form.hWnd()));
    RECT client{};
    GetClientRect(form.hWnd(), &client);
    EXPECT_EQ(std::lround(PixelsToTwips(client.bottom, SystemDpi())), 330) << "laid out for the stored mode";
    EXPECT_TRUE(form.CheckTimerEnabled());
    EXPECT_EQ(Tips().size(), 2u);
    EXPECT_TRUE(messages_.empty());

    // One round through the program: tiles, squares and tips follow the records.
    RunRound();
    EXPECT_EQ(form.SiteStat(1).PingValue(), "10 ms");
    EXPECT_EQ(form.picSite(1).BackColor(), kSquareGreen);
    EXPECT_EQ(Tips()[1]->Text().rfind("Ping: 10 ms \r\n", 0), 0u) << Tips()[1]->Text();
    EXPECT_EQ(Tips()[1]->HwndParentControl(), form.picSite(1).hWnd()) << "mini mode: on the square";
}

TEST_F(ProgramTest, WithoutASiteListTheWindowShowsAndTheTimerStaysOff) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(IsWindowVisible(program_.MainWindow().hWnd()));
    EXPECT_FALSE(program_.MainWindow().CheckTimerEnabled());
    Write("sites.txt", "\r\n  \r\n");
    CorvaleProgram second;
    second.EndProgram = [] {};
    second.Model().Engine().Use(ScriptedEngine::Install());
    ASSERT_TRUE(second.Main(folder_.File("Corvale.exe")));
    EXPECT_FALSE(second.MainWindow().CheckTimerEnabled());
}

TEST_F(ProgramTest, AMissingEngineIsReportedAndOnlyTheProgramsFolderIsSearched) {
    program_.Model().Engine().Use({});
    // The test runs in the build's program folder, which holds the library: a copy in the
    // current folder must not be taken for the missing one.
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    ASSERT_TRUE(std::filesystem::exists(std::string(current) + "\\tarnel.dll"));
    EXPECT_FALSE(Start());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].rfind("Error 126 : ", 0), 0u) << messages_[0];
    EXPECT_GT(messages_[0].size(), std::string("Error 126 : ").size()) << "with the system's description";
    EXPECT_EQ(messages_[0].find("Main"), std::string::npos);
    EXPECT_EQ(program_.MainWindow().hWnd(), nullptr) << "no window is left behind";
    EXPECT_FALSE(Model().Engine().Bound());
}

TEST_F(ProgramTest, ShutDownWaitsForTheRunningRequestAndRunsOnce) {
    Write("sites.txt", "a.test\r\n");
    ASSERT_TRUE(Start());
    frmMain& form = program_.MainWindow();
    ASSERT_TRUE(test::ShellHoldsIcon(form.hWnd(), frmMain::kTrayIconId));
    ScriptedEngine& engine = ScriptedEngine::Get();
    engine.busyPolls = 25;
    program_.CheckTimerTick();  // a request is under way now
    ASSERT_TRUE(Model().CheckCycle().RequestPending);
    program_.ShutDown();  // as the tool box's close button does
    EXPECT_EQ(engine.stops, 1);
    EXPECT_EQ(engine.busyLeft, 0) << "stopped only once the request had ended";
    EXPECT_EQ(ends_, 1);
    EXPECT_FALSE(form.CheckTimerEnabled()) << "no new exchange starts while ending";
    EXPECT_FALSE(IsWindowVisible(form.hWnd()));
    EXPECT_FALSE(test::ShellHoldsIcon(form.hWnd(), frmMain::kTrayIconId));
    EXPECT_TRUE(Tips().empty());
    program_.ShutDown();
    EXPECT_EQ(engine.stops, 1);
    EXPECT_EQ(ends_, 1);
}

TEST_F(ProgramTest, AnEngineThatNeverFinishesIsLeftAfterTenSecondsEvenAtMidnight) {
    Write("sites.txt", "a.test\r\n");
    ASSERT_TRUE(Start());
    ScriptedEngine& engine = ScriptedEngine::Get();
    engine.busyPolls = 1000000;
    program_.CheckTimerTick();
    // The time of day passes midnight as the wait begins; the monotonic clock goes on.
    program_.Clock = [calls = 0]() mutable { return calls++ == 0 ? 86399.9f : 0.1f; };
    uint64_t ticks = 5000;
    program_.TickCount = [&ticks] { return ticks += 500; };
    program_.ShutDown();
    EXPECT_EQ(engine.stops, 0) << "a worker that never finishes is not waited for";
    EXPECT_NEAR(engine.busyChecks, 20, 2);
    EXPECT_EQ(ends_, 1);
}

TEST_F(ProgramTest, AStartEntryOfAnotherCopyIsTheSameAfterThisOneStartsAndEnds) {
    test::StartupEntryGuard guard;
    clsRegistry("C:\\Tools\\Corvale 1.0\\").AddToStartup();
    const auto before = test::ReadValue(kRunKeyPath, "Corvale");
    ASSERT_TRUE(before);
    for (const char* ini : {"", "[General]\r\nStartup=0\r\n", "[General]\r\nStartup=1\r\n"}) {
        Write("monitor.ini", ini);
        CorvaleProgram copy;
        copy.EndProgram = [] {};
        copy.Model().Engine().Use(ScriptedEngine::Install());
        ASSERT_TRUE(copy.Main(folder_.File("Corvale.exe")));
        copy.ShutDown();
        const auto after = test::ReadValue(kRunKeyPath, "Corvale");
        ASSERT_TRUE(after) << ini;
        EXPECT_EQ(after->data, before->data) << ini;
    }
}

TEST_F(ProgramTest, BadInputFilesStillStartTheProgram) {
    std::mt19937 random(7);
    std::string garbage(4096, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    Write("monitor.ini", garbage);
    std::string sites;
    for (int i = 0; i < 25; ++i) sites += "site" + std::to_string(i) + ".test\r\n";
    sites += std::string(300, 'x') + "\r\n";
    Write("sites.txt", sites);
    ASSERT_TRUE(Start());
    EXPECT_EQ(Model().SiteLast(), 19);
    EXPECT_EQ(program_.MainWindow().SiteStatCount(), 20);
    EXPECT_GE(Model().Settings().CheckInterval, 10);
    EXPECT_GE(Model().Settings().TransPerc, 10);

    CorvaleProgram second;
    second.EndProgram = [] {};
    std::string binary(1 << 20, '\0');
    for (char& c : binary) c = static_cast<char>(random());
    Write("sites.txt", binary);
    second.Model().Engine().Use(ScriptedEngine::Install());
    ASSERT_TRUE(second.Main(folder_.File("Corvale.exe")));
    const int last = second.Model().SiteLast();
    EXPECT_LE(last, 19);
    EXPECT_EQ(second.MainWindow().SiteStatCount(), last + 1 > 0 ? last + 1 : 1);
}

}  // namespace
}  // namespace corvale
