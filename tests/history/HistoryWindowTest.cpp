// The history window with a host of the test's own, under Wine: its title and line of figures,
// its place and scale, and the keys. (The log's rows before the start and Ctrl+C are seen in the
// running program's test.)
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "WinTestSupport.h"
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

TEST(HistoryWindow, ShowsItsSiteFollowsTheKeysAndKeepsItsPlaceAndScale) {
    FakeHost host;
    // Twenty minutes of results, one of them slow and one lost.
    for (int64_t at = kNow - 20 * 60 * kSecond; at <= kNow; at += 10 * kSecond)
        host.histories[0].Add({at, at == kNow - 60 * kSecond ? 90 : at == kNow - 90 * kSecond ? 0 : 30, 0});

    HistoryWindow window(host);
    ASSERT_TRUE(window.Open(0, nullptr));
    test::PumpMessagesFor(200);
    EXPECT_TRUE(IsWindowVisible(window.hWnd()));
    EXPECT_EQ(TitleOf(window.hWnd()), L"History of a.example - Corvale");
    EXPECT_EQ(window.FiguresText(), "121 results, 1 lost (0.8 %), 30 / 31 / 90 ms, jitter 1 ms");

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
