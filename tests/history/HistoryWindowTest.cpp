// The history window with a host of the test's own, under Wine: the log's rows from before
// the start with this run's, the line of figures, Ctrl+C, and the keys.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "TempFolder.h"
#include "WinTestSupport.h"
#include "monitor/LogHistory.h"
#include "ui/base/GdiHandles.h"
#include "monitor/WideText.h"
#include "ui/history/HistoryWindow.h"

namespace corvale {
namespace {

constexpr int64_t kNow = 1'796'814'000'000;  // 2026-12-09T11:00:00Z
constexpr int64_t kSecond = 1000;

class FakeHost : public HistoryHost {
public:
    std::vector<std::string> titles{"a.example", "b.example"};
    std::vector<SiteHistory> histories{2};
    std::vector<SleepSpan> sleeps;
    std::vector<HistoryPlace> stored;

    int SiteCount() const override { return static_cast<int>(titles.size()); }
    std::string SiteTitle(int site) const override { return titles[static_cast<std::size_t>(site)]; }
    const SiteHistory& History(int site) const override { return histories[static_cast<std::size_t>(site)]; }
    std::span<const SleepSpan> SleepSpans() const override { return sleeps; }
    int64_t NowMs() const override { return kNow; }
    int64_t CheckIntervalMs() const override { return 10 * kSecond; }
    std::optional<HistoryPlace> StoredPlace() const override { return std::nullopt; }
    void StorePlace(const HistoryPlace& place) override { stored.push_back(place); }
};

std::wstring TitleOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

void PressKeys(std::initializer_list<WORD> down) {
    std::vector<INPUT> inputs;
    const auto key = [&inputs](WORD code, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = code;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (WORD code : down) key(code, 0);
    for (auto code = std::rbegin(down); code != std::rend(down); ++code) key(*code, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

TEST(HistoryWindow, ShowsTheLogBeforeTheStartCountsItsLossesAndCopiesThePlot) {
    // Half an hour of the log, every 20th check lost, in a file another program holds open.
    test::TempFolder folder;
    std::string rows = "time,site,address,result,ms,code\r\n";
    for (int i = 0; i < 180; ++i) {
        const int64_t minute = 10 + i / 6;  // 10:10 to 10:39:50 UTC
        char row[96];
        std::snprintf(row, sizeof row, "2026-12-09T10:%02d:%02d+00:00,a.example,10.0.0.1,%s\r\n",
                      static_cast<int>(minute), i % 6 * 10, i % 20 == 0 ? "no reply,,11" : "ok,30,0");
        rows += row;
    }
    test::WriteBytes(folder.File("2026-12-09.csv"), rows);
    const KernelHandle heldOpen(CreateFileW(Widen(folder.File("2026-12-09.csv")).c_str(), GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(heldOpen);

    FakeHost host;
    // This run's results from 10:40 on, one of them slow.
    for (int64_t at = kNow - 20 * 60 * kSecond; at <= kNow; at += 10 * kSecond)
        host.histories[0].Add({at, at == kNow - 60 * kSecond ? 90 : 30, 0});
    std::vector<SiteHistory*> histories{&host.histories[0], &host.histories[1]};
    AddLogToHistories(folder.Folder(), host.titles, histories, host.sleeps, kNow, 0);
    ASSERT_EQ(host.histories[0].Count(), 301u);

    HistoryWindow window(host);
    ASSERT_TRUE(window.Open(0, nullptr));
    test::PumpMessagesFor(200);
    EXPECT_TRUE(IsWindowVisible(window.hWnd()));
    EXPECT_EQ(TitleOf(window.hWnd()), L"History of a.example - Corvale");
    EXPECT_EQ(window.FiguresText(), "301 results, 9 lost (3.0 %), 30 / 30 / 90 ms, jitter 0 ms");
    test::SaveWindowPng(window.hWnd(), CORVALE_SCREENSHOT_DIR "/history.png");

    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    SetForegroundWindow(window.hWnd());
    test::PumpMessages();
    PressKeys({VK_CONTROL, 'C'});
    test::PumpMessagesFor(200);
    ASSERT_TRUE(OpenClipboard(nullptr));
    const HANDLE text = GetClipboardData(CF_UNICODETEXT);
    const HANDLE dib = GetClipboardData(CF_DIB);
    ASSERT_TRUE(text && dib);
    EXPECT_EQ(Narrow(static_cast<const wchar_t*>(GlobalLock(text))), window.FiguresText());
    GlobalUnlock(text);
    // The lost checks are red columns of the picture.
    const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib));
    ASSERT_EQ(header->biBitCount, 24);
    const auto* bits = reinterpret_cast<const uint8_t*>(header + 1);
    const int stride = (header->biWidth * 3 + 3) / 4 * 4;
    std::vector<bool> redColumns(static_cast<std::size_t>(header->biWidth));
    for (int y = 0; y < header->biHeight; ++y)
        for (int x = 0; x < header->biWidth; ++x) {
            const uint8_t* pixel = bits + y * stride + x * 3;
            if (pixel[2] == 222 && pixel[1] == 48 && pixel[0] == 48) redColumns[static_cast<std::size_t>(x)] = true;
        }
    GlobalUnlock(dib);
    CloseClipboard();
    const auto red = std::count(redColumns.begin(), redColumns.end(), true);
    EXPECT_GE(red, 9);
    EXPECT_LT(red, 30);

    // Where it is left is kept; at a new scale the buttons grow with it.
    SendMessageW(window.hWnd(), WM_EXITSIZEMOVE, 0, 0);
    ASSERT_EQ(host.stored.size(), 1u);
    EXPECT_NEAR(host.stored[0].width, kHistoryFirstWidth, 15);  // twips at the window's scale, as it opened
    const HWND hour = FindWindowExW(window.hWnd(), nullptr, L"Button", L"1 h");
    RECT small{}, large{}, outer{};
    GetWindowRect(hour, &small);
    GetWindowRect(window.hWnd(), &outer);
    outer.right += outer.right - outer.left;
    outer.bottom += outer.bottom - outer.top;
    SendMessageW(window.hWnd(), WM_DPICHANGED, MAKEWPARAM(2 * window.Dpi(), 2 * window.Dpi()),
                 reinterpret_cast<LPARAM>(&outer));
    GetWindowRect(hour, &large);
    EXPECT_EQ(large.bottom - large.top, 2 * (small.bottom - small.top));

    // The keys: a day, the next site, and Escape.
    SendMessageW(window.hWnd(), WM_KEYDOWN, '4', 0);
    EXPECT_EQ(window.View().Range(kNow), (TimeRange{kNow - 24 * kHourMs, kNow}));
    SendMessageW(window.hWnd(), WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_TRUE(window.View().Live());  // a day back is as far as it goes
    SendMessageW(window.hWnd(), WM_KEYDOWN, '1', 0);
    SendMessageW(window.hWnd(), WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(window.View().Range(kNow).toMs, kNow - 90 * kSecond);
    SendMessageW(window.hWnd(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(window.ShownSite(), 1);
    EXPECT_EQ(TitleOf(window.hWnd()), L"History of b.example - Corvale");
    EXPECT_EQ(window.FiguresText(), "0 results, 0 lost (0.0 %), - / - / - ms, jitter -");
    SendMessageW(window.hWnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(window.IsOpen());
}

}  // namespace
}  // namespace corvale
