// The balloon of the notification-area icon under Wine, with a scripted engine: sites that
// stop answering reach the shell's notification area as one balloon, unless switched off.
#include <gtest/gtest.h>

#include <windows.h>

#include "ProgramFixture.h"
#include "ScriptedEngine.h"
#include "ShellBalloons.h"
#include "TempFolder.h"
#include "WinTestSupport.h"
#include "monitor/WideText.h"
#include "monitor/basMain.h"

namespace corvale {
namespace {

// The shell shows a balloon about two seconds after it was asked for.
constexpr DWORD kBalloonWaitMs = 4000;

long TopLevelWindowsOfThisProcess() {
    long count = 0;
    EnumWindows([](HWND w, LPARAM p) -> BOOL {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(w)) ++*reinterpret_cast<long*>(p);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&count));
    return count;
}

class TrayBalloonTest : public test::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        UseTestClock();
        Write("sites.txt", "a.test\r\nb.test\r\nc.test\r\n");
    }
    void Start() {
        ASSERT_TRUE(StartProgram());
        ASSERT_TRUE(program_.MainWindow().TrayIconAdded());
        test::PumpMessages();
    }
    // Lets the first round pass, and takes two sites down for long enough to be told.
    void TakeTwoSitesDown() {
        RunRounds(1);
        ScriptedEngine::Get().replies["a.test"] = {0, 11};
        ScriptedEngine::Get().replies["c.test"] = {0, 11};
        RunRounds(2);
    }
};

TEST_F(TrayBalloonTest, ARoundsChangesReachTheNotificationAreaAsOneBalloonThatTakesNoFocus) {
    Start();
    HWND foreground = GetForegroundWindow();
    const long windows = TopLevelWindowsOfThisProcess();
    TakeTwoSitesDown();
    const auto seen = test::WatchShellBalloons(kBalloonWaitMs);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "a.test is not responding\nc.test is not responding");

    const NOTIFYICONDATAW& asked = program_.MainWindow().Tray().LastBalloon();
    EXPECT_STREQ(asked.szInfoTitle, L"Corvale");
    EXPECT_EQ(asked.dwInfoFlags, static_cast<DWORD>(NIIF_INFO | NIIF_RESPECT_QUIET_TIME));
    EXPECT_EQ(GetForegroundWindow(), foreground);
    EXPECT_EQ(TopLevelWindowsOfThisProcess(), windows) << "no window of our own opened";

    // Back again: the time it was down runs on the program's clock for durations.
    ScriptedEngine::Get().replies["a.test"] = {48, 0};
    RunRounds(1);
    const auto back = test::WatchShellBalloons(kBalloonWaitMs);
    ASSERT_FALSE(back.empty());
    EXPECT_EQ(back.back().text, "a.test answers again (48 ms), after 42 s");
}

TEST_F(TrayBalloonTest, ASaveInTheMiddleOfAnOutageKeepsItsNotices) {
    Start();
    const auto lastBalloon = [this] { return Narrow(program_.MainWindow().Tray().LastBalloon().szInfo); };
    const auto save = [this](int16_t alpha) {
        ProgramSettings edited = Model().Settings();
        edited.TransPerc = alpha;  // the translucency alone, as the preferences hand it back
        program_.SaveEdits(edited);
    };
    RunRounds(1);
    ScriptedEngine::Get().replies["a.test"] = {0, 11};
    RunRounds(1);
    save(200);
    RunRounds(1);
    EXPECT_EQ(lastBalloon(), "a.test is not responding") << "the failures before and after the Save are one";

    ScriptedEngine::Get().replies.clear();
    RunRounds(1);
    for (const char* site : {"a.test", "b.test", "c.test"}) ScriptedEngine::Get().replies[site] = {0, 11};
    RunRounds(2);
    EXPECT_EQ(lastBalloon(), kConnectionDownText);
    save(150);
    ScriptedEngine::Get().replies.clear();
    RunRounds(1);
    const std::string back = lastBalloon();
    EXPECT_EQ(back.rfind("Sites answer again, after ", 0), 0u) << back;
    EXPECT_EQ(back.find('\n'), std::string::npos) << "one line for the whole connection: " << back;
}

TEST_F(TrayBalloonTest, SwitchedOffOrWithoutAnIconNothingIsShown) {
    test::WriteBytes(folder_.File("monitor.ini"), "[General]\r\nNotify=x\r\n");
    Start();
    EXPECT_TRUE(Model().Settings().Notify) << "an unreadable value means on";
    program_.SetNotifyOnChange(false);
    EXPECT_FALSE(Model().Settings().Notify);
    TakeTwoSitesDown();
    EXPECT_TRUE(test::WatchShellBalloons(kBalloonWaitMs).empty());
    EXPECT_STREQ(program_.MainWindow().Tray().LastBalloon().szInfo, L"");

    program_.SetNotifyOnChange(true);
    EXPECT_NE(test::ReadBytes(folder_.File("monitor.ini")).find("Notify=1"), std::string::npos);
    program_.MainWindow().TrayOff();
    EXPECT_FALSE(program_.MainWindow().ShowBalloon("Corvale", "a.test is not responding"));
    ScriptedEngine::Get().replies["a.test"] = {10, 0};
    RunRounds(1);  // a change to tell, and no icon to tell it on
    EXPECT_TRUE(test::WatchShellBalloons(kBalloonWaitMs).empty());
}

}  // namespace
}  // namespace corvale
