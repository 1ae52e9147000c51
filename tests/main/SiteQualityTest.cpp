// What the running program shows of each site's quality and of the whole list, under Wine
// with a scripted engine: the tray icon's mark and tip, the tiles' tips, the log of every
// result, and a resume from sleep.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ProgramFixture.h"
#include "ScriptedEngine.h"
#include "WinTestSupport.h"
#include "ShellBalloons.h"
#include "monitor/LogFolder.h"
#include "monitor/UserTexts.h"
#include "ui/base/DibSurface.h"
#include "ui/base/GdiHandles.h"
#include "monitor/WideText.h"
#include "ui/main/StateIcon.h"
#include "ui/main/VersionInfo.h"

namespace corvale {
namespace {

// The colour (0x00RRGGBB) at the centre of an icon's state mark.
uint32_t MarkColour(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    const Bitmap color(info.hbmColor), mask(info.hbmMask);
    const int size = BitmapSize(color.Get()).cx;
    std::vector<uint32_t> pixels(static_cast<std::size_t>(size) * size);
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    WindowDC screen(nullptr);
    GetDIBits(screen.Get(), color.Get(), 0, static_cast<UINT>(size), pixels.data(), &format, DIB_RGB_COLORS);
    const int centre = size - size * 3 / 10 - 1;
    return pixels[static_cast<std::size_t>(centre) * size + centre] & 0xFFFFFF;
}

// The text a tooltip window of ours holds for its one tool.
std::string TipText(HWND tip) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    if (!SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool))) return {};
    std::wstring text(1024, L'\0');
    tool.lpszText = text.data();
    SendMessageW(tip, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    return Narrow(text.c_str());
}

bool ShellHoldsTip(const std::string& text) {
    const auto tips = test::ShellIconTips();
    return std::any_of(tips.begin(), tips.end(), [&](const test::ShellBalloon& tip) { return tip.text == text; });
}

// The rows of a log file without their time, which is the program's own.
std::vector<std::string> RowsWithoutTime(const std::string& file) {
    std::vector<std::string> rows;
    std::size_t start = 0;
    for (std::size_t end; (end = file.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string row = file.substr(start, end - start);
        rows.push_back(rows.empty() ? row : row.substr(row.find(',') + 1));
    }
    return rows;
}

class SiteQualityTest : public test::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        UseTestClock();
    }
    void Start() {
        ASSERT_TRUE(StartProgram());
        ASSERT_TRUE(program_.MainWindow().TrayIconAdded());
    }
    TrayIcon& Tray() { return program_.MainWindow().Tray(); }
    std::string TodaysLog() { return test::ReadBytes(folder_.File("log\\") + DayFileName(LocalTimeNow())); }
};

TEST_F(SiteQualityTest, TheIconShowsTheWholeListAndEachTileItsFigures) {
    Write("sites.txt", "a.test\r\nb.test\r\n");
    Start();
    int iconChanges = 0;
    Tray().ShellCall = [&iconChanges, shell = Tray().ShellCall](DWORD message, NOTIFYICONDATAW* data) {
        iconChanges += message == NIM_MODIFY && (data->uFlags & NIF_ICON);
        return shell(message, data);
    };
    const std::string product = ProgramVersionInfo().productName;
    RunRounds(2);
    EXPECT_EQ(MarkColour(Tray().Data().hIcon), StateMarkColour(OverallColour::Green));
    EXPECT_TRUE(ShellHoldsTip(product + "\nAll 2 sites answer"));
    EXPECT_EQ(iconChanges, 1) << "from grey to green once, not at every result";

    ScriptedEngine::Get().replies["b.test"] = {0, 11};
    RunRounds(2);
    EXPECT_EQ(MarkColour(Tray().Data().hIcon), StateMarkColour(OverallColour::Red));
    EXPECT_TRUE(ShellHoldsTip(product + "\n1 of 2 sites not responding: b.test"));
    EXPECT_EQ(iconChanges, 2);

    test::PointerMovesOver(program_.MainWindow().SiteStat(0).hWnd());
    test::PointerMovesOver(program_.MainWindow().SiteStat(1).hWnd());
    const std::string answering = TipText(Tips()[0]->TooltipWindow());
    EXPECT_EQ(answering.rfind("Ping: 10 ms \r\nLast 4: 0 lost (0 %), 10 / 10 / 10 ms, jitter 0 ms\r\nSince ", 0), 0u)
        << answering;
    EXPECT_EQ(answering.substr(answering.find(": 0 of")), ": 0 of 4 lost (0 %)");
    const std::string failing = TipText(Tips()[1]->TooltipWindow());
    EXPECT_EQ(failing.rfind("Ping: 0 ms \r\nreply too short\r\nNot responding for 21 s\r\n"
                            "Last 4: 2 lost (50 %), 10 / 10 / 10 ms, jitter 0 ms\r\n", 0),
              0u)
        << failing;
}

TEST_F(SiteQualityTest, WithTheLogOnEveryResultIsWrittenOncePerRoundAndAHeldFileWaits) {
    Write("monitor.ini", "[General]\r\nLog=1\r\n");
    Write("sites.txt", "a.test\r\nb.test\r\n");
    ScriptedEngine::Get().replies["b.test"] = {0, 9};
    Start();
    RunRounds(2);
    const std::vector<std::string> twoRounds = {"time,site,address,result,ms,code,name", "a.test,a.test,ok,10,0,",
                                                "b.test,b.test,no reply,,9,", "a.test,a.test,ok,10,0,",
                                                "b.test,b.test,no reply,,9,"};
    EXPECT_EQ(RowsWithoutTime(TodaysLog()), twoRounds);

    // Held by a program that shares it with nobody: its rows wait for a later round.
    const std::wstring path = Widen(folder_.File("log\\") + DayFileName(LocalTimeNow()));
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RunRounds(1);
    CloseHandle(held);
    EXPECT_EQ(RowsWithoutTime(TodaysLog()), twoRounds);
    RunRounds(1);
    EXPECT_EQ(RowsWithoutTime(TodaysLog()).size(), 9u);
    EXPECT_TRUE(messages_.empty()) << "a busy file is no failure";
}

TEST_F(SiteQualityTest, AFolderThatCannotTakeTheLogTurnsItOffWithOneMessage) {
    Write("monitor.ini", "[General]\r\nLog=1\r\n");
    Write("sites.txt", "a.test\r\n");
    Write("log", "a file where the folder would be");
    Start();
    RunRounds(kFailedWritesBeforeOff - 1);
    EXPECT_TRUE(messages_.empty()) << "a folder away for a moment is tried again";
    RunRounds(1);
    EXPECT_EQ(messages_, std::vector<std::string>{LogFailureText(folder_.File("log\\"))});
    EXPECT_FALSE(Model().Settings().Log);
    EXPECT_EQ(program_.Store().Read("General", "Log"), "0");
    EXPECT_EQ(Read("log"), "a file where the folder would be");
}

TEST_F(SiteQualityTest, AResumeStartsARoundAtOnceThatTellsNothingAndMarksTheGap) {
    Write("monitor.ini", "[General]\r\nLog=1\r\n");
    Write("sites.txt", "a.test\r\nb.test\r\n");
    Start();
    RunRounds(1);
    ScriptedEngine::Get().replies["b.test"] = {0, 9};
    RunRounds(1);  // b failed once: one more failure would be told

    // Asleep while a request for a.test is under way.
    ScriptedEngine::Get().busyPolls = 3;
    clock_ += Model().Settings().CheckInterval + 1;
    while (!Model().CheckCycle().RequestPending) program_.CheckTimerTick();
    const auto resume = [](WPARAM event) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(HWND_BROADCAST, WM_POWERBROADCAST, event, 0, SMTO_ABORTIFHUNG, 1000, &answer);
    };
    resume(PBT_APMRESUMEAUTOMATIC);
    EXPECT_FALSE(Model().CheckCycle().RoundRunning) << "the round under way is abandoned";
    program_.CheckTimerTick();
    EXPECT_TRUE(Model().CheckCycle().RoundRunning) << "the next round starts at once, within the interval";
    resume(PBT_APMRESUMESUSPEND);  // the same resume, told again as the user comes back
    EXPECT_TRUE(Model().CheckCycle().RoundRunning);
    RunRound();

    EXPECT_STREQ(Tray().LastBalloon().szInfo, L"") << "the round after a resume tells nothing";
    EXPECT_EQ(Site(0).Stats.SinceBuilt().results, 3) << "the result owed at the resume was dropped";
    const std::string log = TodaysLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1 + 4 + 1 + 2) << log;
    EXPECT_NE(log.find(",,,resumed after sleep,,,\r\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace corvale
