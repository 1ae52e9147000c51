// A long run of the program in-process over a scripted engine: thousands of results shown
// through the check cycle, sites going down and coming back, the switch to mini mode and
// back, and the windows, handles, GDI objects and private memory stay where the first rounds
// left them.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <string>

#include "ProgramFixture.h"
#include "WinTestSupport.h"

namespace corvale {
namespace {

long WindowsOfThisThread() {
    long count = 0;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM p) -> BOOL {
        auto* n = reinterpret_cast<long*>(p);
        ++*n;
        EnumChildWindows(w, [](HWND, LPARAM q) -> BOOL { return ++*reinterpret_cast<long*>(q), TRUE; }, p);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&count));
    return count;
}

struct Gauges {
    long windows = WindowsOfThisThread();
    long gdi = test::GdiObjectGauge();
    // User objects: windows, menus, icons, cursors. Wine keeps no count of them (GetGuiResources
    // gives 0) but hands out the free slots of its one table before new ones: the highest slot of
    // more new menus than there are free slots tells how many objects are live (in the whole prefix).
    DWORD user = [] {
        if (const DWORD count = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return count;
        constexpr DWORD kProbes = 4096;
        HMENU probes[kProbes];
        DWORD highest = 0;
        for (HMENU& probe : probes) {
            probe = CreatePopupMenu();
            const auto slot = static_cast<DWORD>((reinterpret_cast<uintptr_t>(probe) & 0xFFFF) >> 1);
            if (slot > highest) highest = slot;
        }
        for (HMENU probe : probes) DestroyMenu(probe);
        return highest - kProbes;
    }();
    DWORD handles = [] {
        DWORD count = 0;
        GetProcessHandleCount(GetCurrentProcess(), &count);
        return count;
    }();
    SIZE_T privateBytes = [] {
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters);
        return counters.PrivateUsage;
    }();
};

class SoakTest : public test::ProgramFixture {};

std::string SiteName(int i) {
    std::string name = "s";
    name += std::to_string(i);
    return name += ".test";
}

TEST_F(SoakTest, ThousandsOfResultsLeaveWindowsHandlesGdiObjectsAndMemoryFlat) {
    std::string sites;
    for (int i = 0; i < 20; ++i) sites += SiteName(i) + "\r\n";
    Write("sites.txt", sites);
    ScriptedEngine& engine = ScriptedEngine::Get();
    for (int i = 0; i < 20; ++i) engine.replies[SiteName(i)] = {10 + 45 * i, 0};
    engine.replies["s7.test"] = {0, 9};  // never answers
    ASSERT_TRUE(StartProgram());
    float clock = 1000;
    program_.Clock = [&clock] { return clock += 0.5f; };
    frmMain& form = program_.MainWindow();

    // Rounds of 20 results; one site goes down and comes back every other round, and the
    // window spends some rounds in mini mode, where the tips hang on the squares.
    int round = 0;
    auto runRounds = [&](int count) {
        for (int end = round + count; round < end; ++round) {
            engine.replies["s3.test"] = round % 2 ? ScriptedEngine::Reply{0, 11} : ScriptedEngine::Reply{30, 0};
            if (round % 10 == 4) form.EnterMiniMode();
            if (round % 10 == 7) form.LeaveMiniMode();
            RunRound();
            // Every tip is looked at, so each round also renews tips that have windows.
            for (int i = 0; i < 20; ++i)
                test::PointerMovesOver(Model().Settings().MiniMode ? form.picSite(i).hWnd() : form.SiteStat(i).hWnd());
        }
        test::PumpMessages();
    };
    runRounds(10);  // the first rounds: every lazily made object exists from here on
    const Gauges before;
    runRounds(60);  // 1,200 results
    const Gauges after;
    EXPECT_EQ(Site(3).PingText, "Not responding") << "the rounds ran through";

    EXPECT_EQ(after.windows, before.windows);
    EXPECT_LE(after.gdi - before.gdi, 20);
    EXPECT_LE(after.handles, before.handles + 5);
    EXPECT_LE(after.user, before.user + 5);
    EXPECT_LT(after.privateBytes, before.privateBytes + 1024 * 1024);
}

}  // namespace
}  // namespace corvale
