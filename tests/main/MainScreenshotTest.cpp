// The running window at the screen's resolution: every control where its twips put it, the
// artwork covering its strip, the squares in their colours; screenshots for a person.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ScriptedEngine.h"
#include "TempFolder.h"
#include "WinTestSupport.h"
#include "monitor/Settings.h"
#include "monitor/SiteList.h"
#include "monitor/SiteTiles.h"
#include "monitor/basMain.h"
#include "ui/base/Dpi.h"
#include "ui/base/Twips.h"

namespace corvale {
namespace {

RECT PlaceIn(HWND parent, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST(MainScreenshot, ControlsScaleWithTheScreenAndNothingIsClippedOrMisplaced) {
    test::TempFolder folder;
    test::WriteBytes(folder.File("monitor.ini"), "[Colors]\r\nNormal=150\r\nError=40\r\n");
    test::WriteBytes(folder.File("sites.txt"),
                     "127.0.0.1\r\nwww.example.test\r\nslow.example.test\r\ndown.example.test\r\n");
    CorvaleProgram program;
    program.Model().Engine().Use(ScriptedEngine::Install());
    ScriptedEngine::Get().replies = {{"127.0.0.1", {0, 0}}, {"www.example.test", {38, 0}},
                                     {"slow.example.test", {912, 0}}, {"down.example.test", {0, 9}}};
    program.EndProgram = [] {};
    ASSERT_TRUE(program.Main(folder.File("Corvale.exe")));
    frmMain& form = program.MainWindow();
    for (int i = 0; i < 60; ++i) program.CheckTimerTick();
    test::PumpMessagesFor(300);

    const int dpi = SystemDpi();
    const std::string suffix = dpi == 96 ? "" : "-" + std::to_string(dpi) + "dpi";
    RECT client;
    GetClientRect(form.hWnd(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(2715, SystemDpi()));
    EXPECT_EQ(client.bottom, TwipsToPixels(4 * 405 + 660, SystemDpi()));
    EXPECT_EQ(PlaceIn(form.hWnd(), form.toolBoxMin().hWnd()).right, client.right) << "the tool box ends the window";
    // The bar's picture is a pixel taller than the strip it shows in; it reaches the edge.
    EXPECT_GE(PlaceIn(form.hWnd(), form.barBottom().hWnd()).bottom, client.bottom);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(PlaceIn(form.hWnd(), form.SiteStat(i).hWnd()).bottom,
                  PlaceIn(form.hWnd(), form.SiteStat(i + 1).hWnd()).top);
    EXPECT_EQ(PlaceIn(form.hWnd(), form.SiteStat(3).hWnd()).bottom, PlaceIn(form.hWnd(), form.barBottom().hWnd()).top);
    // The tile's picture and the bar's artwork are scaled to cover them.
    const RECT tile = PlaceIn(form.hWnd(), form.SiteStat(1).hWnd());
    EXPECT_NE(test::WindowPixel(form.SiteStat(1).hWnd(), tile.right - tile.left - 2, tile.bottom - tile.top - 2),
              RGB(0, 0, 0));
    ASSERT_TRUE(test::SaveWindowPng(form.hWnd(), CORVALE_SCREENSHOT_DIR "/main-normal" + suffix + ".png"));

    form.EnterMiniMode();
    test::PumpMessagesFor(300);
    GetClientRect(form.hWnd(), &client);
    EXPECT_EQ(client.bottom, TwipsToPixels(330, SystemDpi()));
    const COLORREF expected[] = {RGB(0, 255, 0), RGB(0, 255, 0), RGB(255, 255, 0), RGB(255, 0, 0)};
    for (int i = 0; i < 4; ++i) {
        HWND square = form.picSite(i).hWnd();
        RECT r;
        GetClientRect(square, &r);
        EXPECT_EQ(test::WindowPixel(square, r.right / 2, r.bottom / 2), expected[i]) << "square " << i;
    }
    // The caption strip reaches the window's bottom edge at every resolution.
    const COLORREF background = RGB(0x22, 0x2C, 0x3A);
    EXPECT_NE(test::WindowPixel(form.hWnd(), 10, client.bottom - 1), background);
    ASSERT_TRUE(test::SaveWindowPng(form.hWnd(), CORVALE_SCREENSHOT_DIR "/main-mini" + suffix + ".png"));
}

}  // namespace
}  // namespace corvale
