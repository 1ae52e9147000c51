// What the running program shows of each site's quality and of the whole list, under Wine
// with a scripted engine: the tray icon's mark and tip, and the tiles' tips.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ProgramFixture.h"
#include "ScriptedEngine.h"
#include "ShellBalloons.h"
#include "ui/base/DibSurface.h"
#include "ui/base/GdiHandles.h"
#include "ui/base/WideText.h"
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

    const std::string answering = TipText(SiteTooltips[0]->TooltipWindow());
    EXPECT_EQ(answering.rfind("Ping: 10 ms \r\nLast 4: 0 lost (0 %), 10 / 10 / 10 ms, jitter 0 ms\r\nSince ", 0), 0u)
        << answering;
    EXPECT_EQ(answering.substr(answering.find(": 0 of")), ": 0 of 4 lost (0 %)");
    const std::string failing = TipText(SiteTooltips[1]->TooltipWindow());
    EXPECT_EQ(failing.rfind("Ping: 0 ms \r\nreply too short\r\nNot responding for 21 s\r\n"
                            "Last 4: 2 lost (50 %), 10 / 10 / 10 ms, jitter 0 ms\r\n", 0),
              0u)
        << failing;
}

}  // namespace
}  // namespace corvale
