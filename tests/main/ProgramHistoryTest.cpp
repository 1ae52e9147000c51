// The history in the running program, under Wine: started with the log on, a history opened
// from a tile's menu reaches back into the log from before the start, follows its site
// through a Save, and goes with the shut-down.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "ProgramFixture.h"
#include "WinTestSupport.h"
#include "monitor/LogFolder.h"
#include "monitor/LogHistory.h"
#include "monitor/WideText.h"

namespace corvale {
namespace {

constexpr int64_t kSecond = 1000;

LocalTime UtcTimeOf(int64_t ms) {
    const ULONGLONG ticks = static_cast<ULONGLONG>(ms + 11'644'473'600'000LL) * 10'000;
    const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME t{};
    FileTimeToSystemTime(&file, &t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, 0};
}

// Columns of the clipboard's picture (24 bits a pixel) that hold the colour of a lost check.
int RedColumnsOnClipboard() {
    if (!OpenClipboard(nullptr)) return -1;
    const HANDLE dib = GetClipboardData(CF_DIB);
    const auto* header = dib ? static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib)) : nullptr;
    int red = 0;
    for (int x = 0; header && x < header->biWidth; ++x) {
        const auto* column = reinterpret_cast<const uint8_t*>(header + 1) + x * 3;
        for (int y = 0, stride = (header->biWidth * 3 + 3) / 4 * 4; y < header->biHeight; ++y)
            if (column[y * stride + 2] == 222 && column[y * stride + 1] == 48 && column[y * stride] == 48) {
                ++red;
                break;
            }
    }
    if (header) GlobalUnlock(dib);
    CloseClipboard();
    return red;
}

class ProgramHistoryTest : public test::ProgramFixture {};

TEST_F(ProgramHistoryTest, ATilesHistoryShowsTheLogFromBeforeTheStartAndFollowsItsSite) {
    // Half an hour of an earlier run, ending ten minutes ago, every 20th check lost.
    const int64_t now = UnixMsNow();
    const int offset = LocalTimeNow().offsetMinutes;
    std::filesystem::create_directory(folder_.File("log"));
    for (int i = 0; i < 180; ++i) {
        const int64_t at = now - 40 * 60 * kSecond + i * 10 * kSecond;
        const std::string name = "log\\" + DayFileNamesFor(at, at, offset).front();
        std::string file = Read(name.c_str());
        if (file.empty()) file = "time,site,address,result,ms,code\r\n";
        Write(name.c_str(), file + ResultRow(UtcTimeOf(at), "a.test", "10.0.0.1", i % 20 != 0, 30, i % 20 ? 0 : 11));
    }
    Write("monitor.ini", "[General]\r\nLog=1\r\n");
    Write("sites.txt", "a.test\r\nb.test\r\n");
    ASSERT_TRUE(StartProgram());
    RunRound();

    // A right click on the second tile offers its history below the preferences.
    std::vector<std::string> items;
    test::ModalScript menu([&] {
        const HWND menuWindow = FindWindowA("#32768", nullptr);
        const auto handle = reinterpret_cast<HMENU>(SendMessageA(menuWindow, 0x01E1 /* MN_GETHMENU */, 0, 0));
        for (int i = 0; i < GetMenuItemCount(handle); ++i) {
            char text[64] = {};
            GetMenuStringA(handle, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            items.emplace_back(text);
        }
        EndMenu();
    }, [] { return FindWindowA("#32768", nullptr) != nullptr; });
    const HWND tile = program_.MainWindow().SiteStat(1).hWnd();
    SendMessageA(tile, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 10));
    SendMessageA(tile, WM_RBUTTONUP, 0, MAKELPARAM(20, 10));
    EXPECT_EQ(items, (std::vector<std::string>{"Preferences", "History of b.test"}));

    // Its command opens the window: the log's rows and this run's result, the lost ones red.
    program_.OpenHistory(0);
    HistoryWindow& window = program_.History().Window();
    ASSERT_TRUE(window.IsOpen());
    EXPECT_EQ(window.FiguresText().rfind("181 results, 9 lost (5.0 %), 10 / ", 0), 0u) << window.FiguresText();
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    SetForegroundWindow(window.hWnd());
    test::PumpMessages();
    INPUT keys[4] = {};
    for (INPUT& key : keys) key.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[3].ki.wVk = VK_CONTROL;
    keys[1].ki.wVk = keys[2].ki.wVk = 'C';
    keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
    test::PumpMessagesFor(200);
    const int red = RedColumnsOnClipboard();
    EXPECT_GE(red, 9);
    EXPECT_LT(red, 30);

    // A Save that moves the site keeps it shown.
    ProgramSettings edited = Model().Settings();
    edited.SitesText = "c.test\r\na.test\r\n";
    program_.SaveEdits(edited);
    EXPECT_EQ(window.ShownSite(), 1);
    EXPECT_EQ(window.FiguresText().rfind("181 results", 0), 0u) << window.FiguresText();

    program_.ShutDown();
    EXPECT_FALSE(window.IsOpen());
}

}  // namespace
}  // namespace corvale
