// The main window on a desktop of two monitors side by side, under Wine on a nested X server
// (tests/main/two-monitors runs it), with real (synthesised) mouse input: a window dragged
// onto the second monitor stays there, snaps to that monitor's edges and opens there at the
// next start. Then, on one monitor only: a window left on the monitor that is gone opens on
// the primary one. Both run in the current folder, the program's folder of both phases.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "WinTestSupport.h"
#include "monitor/AppFolder.h"
#include "monitor/Settings.h"
#include "WindowHarness.h"
#include "ui/base/Dpi.h"
#include "ui/main/frmMain.h"

namespace corvale {
namespace {

std::vector<MONITORINFO> Monitors() {
    std::vector<MONITORINFO> found;
    EnumDisplayMonitors(nullptr, nullptr, [](HMONITOR monitor, HDC, LPRECT, LPARAM list) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoA(monitor, &info);
        // The primary one first.
        auto& monitors = *reinterpret_cast<std::vector<MONITORINFO>*>(list);
        monitors.insert(info.dwFlags & MONITORINFOF_PRIMARY ? monitors.begin() : monitors.end(), info);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&found));
    return found;
}

class MonitorsTest : public ::testing::Test {
protected:
    void SetUp() override { h_.Use("a.test\r\nb.test"); }
    std::unique_ptr<frmMain> Open() {
        auto form = h_.NewWindow();
        EXPECT_TRUE(form->Load());
        tiles_ = std::make_unique<SiteTiles>(*form, h_.model);
        tiles_->BuildTiles();
        test::PumpMessages();
        return form;
    }
    static RECT WindowRect(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return r;
    }
    // Drags the window by its first tile so that its top-left corner lands at `to`.
    static void DragTo(frmMain& form, POINT to) {
        const RECT window = WindowRect(form.hWnd()), tile = WindowRect(form.SiteStat(0).hWnd());
        const POINT grab{tile.left + 20, tile.top + 10};
        test::DragWithMouse(grab, {to.x + grab.x - window.left, to.y + grab.y - window.top});
    }

    std::string folder_ = (std::filesystem::current_path() / "").string();
    test::WindowHarness h_{folder_};
    std::unique_ptr<SiteTiles> tiles_;
};

TEST_F(MonitorsTest, ADraggedWindowStaysOnTheSecondMonitorSnapsToItsEdgesAndOpensThere) {
    const std::vector<MONITORINFO> monitors = Monitors();
    ASSERT_EQ(monitors.size(), 2u) << "two monitors side by side";
    const RECT second = monitors[1].rcWork;
    ASSERT_GE(second.left, monitors[0].rcWork.right) << "the second one right of the primary one";
    test::WriteBytes(folder_ + "monitor.ini", "[General]\r\nTransPerc=255\r\n");
    auto form = Open();
    SetWindowPos(form->hWnd(), HWND_TOPMOST, 300, 300, 0, 0, SWP_NOSIZE);
    test::PumpMessages();

    // Well inside the second monitor: it stays where it was dropped.
    DragTo(*form, {second.left + 300, 250});
    RECT window = WindowRect(form->hWnd());
    EXPECT_NEAR(window.left, second.left + 300, 2);
    EXPECT_NEAR(window.top, 250, 2);
    // Dropped 6 pixels from its left edge (beside the primary monitor) and from its bottom
    // edge: onto those edges.
    const int height = window.bottom - window.top;
    DragTo(*form, {second.left + 6, second.bottom - height - 6});
    window = WindowRect(form->hWnd());
    EXPECT_EQ(window.left, second.left);
    EXPECT_EQ(window.bottom, second.bottom);

    // The next start opens it there.
    form.reset();
    form = Open();
    const RECT reopened = WindowRect(form->hWnd());
    EXPECT_EQ(reopened.left, window.left);
    EXPECT_EQ(reopened.top, window.top);
}

// Run after the test above, on a desktop whose second monitor is gone.
TEST_F(MonitorsTest, AWindowLeftOnAMonitorThatIsGoneOpensOnThePrimaryOne) {
    const std::vector<MONITORINFO> monitors = Monitors();
    ASSERT_EQ(monitors.size(), 1u);
    const std::string storedLeft = h_.store.Read(kWindowSection, kWindowLeftKey);
    ASSERT_FALSE(storedLeft.empty()) << "left by the test on two monitors";
    ASSERT_GE(TwipsToPixels(std::stoi(storedLeft), SystemDpi()), monitors[0].rcMonitor.right);
    auto form = Open();
    const RECT window = WindowRect(form->hWnd());
    const RECT& work = monitors[0].rcWork;
    EXPECT_TRUE(window.left >= work.left && window.top >= work.top && window.right <= work.right &&
                window.bottom <= work.bottom)
        << window.left << "," << window.top;
}

}  // namespace
}  // namespace corvale
