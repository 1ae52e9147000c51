// Mouse, keyboard, focus and drawing discipline of the skinned button in a real window.
#include <gtest/gtest.h>

#include "SkinTestContainer.h"
#include "WinTestSupport.h"

using namespace corvale;
using namespace corvale::test;

namespace {

constexpr int kW = 80, kH = 30;

class SkinButtonBehaviour : public SkinButtonSuite<400, 200> {
protected:
    void SetUp() override {
        PlaceCursorAway();
        button = std::make_unique<sknButton>(host.Handle(), container, 20, 20, kW, kH, 101);
        button->SetCaption("&Press me");
        log.Attach(*button);
        PumpMessages();
    }
    void TearDown() override {
        if (GetCapture()) ReleaseCapture();
        button.reset();
        PlaceCursorAway();
        PumpMessages();
    }
    HWND Window() const { return button->hWnd(); }
    // Lets the hover timer run; a tick is 3 ms, platforms round timers up to about 10-16 ms.
    void WaitTicks() { PumpMessagesFor(80); }

    std::unique_ptr<sknButton> button;
    EventLog log;
};

}  // namespace

TEST_F(SkinButtonBehaviour, HoverRaisesMouseOverOnceAndMouseOutWithoutABorderMessage) {
    HoverAt(Window(), 40, 15);
    HoverAt(Window(), 41, 15);
    HoverAt(Window(), 42, 16);
    EXPECT_EQ(log.overs, 1);
    EXPECT_TRUE(button->IsOver());
    WaitTicks();
    EXPECT_EQ(log.outs, 0) << "the cursor is still over the button";

    // Jump far away: the button receives no move over its border; the timer notices.
    PlaceCursorAway();
    WaitTicks();
    EXPECT_EQ(log.outs, 1);
    EXPECT_FALSE(button->IsOver());
    EXPECT_EQ(button->LastState(), sknButton::kDrawUp);
}

TEST_F(SkinButtonBehaviour, PressWithMovementRestartsHoverTracking) {
    HoverAt(Window(), 40, 15);
    ASSERT_EQ(log.overs, 1);
    SendMouse(Window(), WM_LBUTTONDOWN, 40, 15, MK_LBUTTON);
    EXPECT_EQ(button->LastState(), sknButton::kDrawDown);
    SendMouse(Window(), WM_MOUSEMOVE, 41, 15, MK_LBUTTON);
    EXPECT_FALSE(button->IsOver());
    SendMouse(Window(), WM_LBUTTONUP, 41, 15);
    EXPECT_EQ(log.clicks, 1);
    SendMouse(Window(), WM_MOUSEMOVE, 42, 15);
    EXPECT_EQ(log.overs, 2);
}

TEST_F(SkinButtonBehaviour, RightButtonChangesNothingVisibleAndRaisesNoClick) {
    PlaceCursor(Window(), 40, 15);
    long draws = button->DrawCount();
    SendMouse(Window(), WM_RBUTTONDOWN, 40, 15, MK_RBUTTON);
    SendMouse(Window(), WM_MOUSEMOVE, 42, 15, MK_RBUTTON);
    SendMouse(Window(), WM_RBUTTONUP, 42, 15);
    EXPECT_EQ(button->DrawCount(), draws);
    EXPECT_EQ(log.clicks, 0);
    EXPECT_EQ(log.downs, 1);
    EXPECT_EQ(log.lastDownButton, 2);
    EXPECT_EQ(log.ups, 1);
}

TEST_F(SkinButtonBehaviour, PressDragOutAndReleaseRaisesNoClick) {
    PlaceCursor(Window(), 40, 15);
    SendMouse(Window(), WM_LBUTTONDOWN, 40, 15, MK_LBUTTON);
    EXPECT_EQ(button->LastState(), sknButton::kDrawDown);
    EXPECT_EQ(GetCapture(), Window());
    PlaceCursor(Window(), 200, 150);
    SendMouse(Window(), WM_MOUSEMOVE, 200, 150, MK_LBUTTON);
    EXPECT_EQ(button->LastState(), sknButton::kDrawUp) << "up while outside";
    PlaceCursor(Window(), 40, 15);
    SendMouse(Window(), WM_MOUSEMOVE, 40, 15, MK_LBUTTON);
    EXPECT_EQ(button->LastState(), sknButton::kDrawDown) << "down again back inside";
    PlaceCursor(Window(), 200, 150);
    SendMouse(Window(), WM_MOUSEMOVE, 200, 150, MK_LBUTTON);
    SendMouse(Window(), WM_LBUTTONUP, 200, 150);
    EXPECT_EQ(log.clicks, 0);
    EXPECT_NE(GetCapture(), Window());
    EXPECT_EQ(button->LastState(), sknButton::kDrawUp);
}

TEST_F(SkinButtonBehaviour, ClickAndDoubleClickEachRaiseClick) {
    PlaceCursor(Window(), 40, 15);
    SendMouse(Window(), WM_LBUTTONDOWN, 40, 15, MK_LBUTTON);
    SendMouse(Window(), WM_LBUTTONUP, 40, 15);
    EXPECT_EQ(log.clicks, 1);
    EXPECT_GT(log.lastDownX, 0.0f) << "coordinates in twips";
    SendMouse(Window(), WM_LBUTTONDBLCLK, 40, 15, MK_LBUTTON);
    EXPECT_EQ(log.lastDownX, 0.0f);
    EXPECT_EQ(log.lastDownY, 0.0f);
    SendMouse(Window(), WM_LBUTTONUP, 40, 15);
    EXPECT_EQ(log.clicks, 2);
    EXPECT_EQ(GetFocus(), Window()) << "a click focuses the button";
}

TEST_F(SkinButtonBehaviour, CheckBoxValueTogglesAndStaysPressed) {
    button->SetCheckBoxBehaviour(true);
    PlaceCursor(Window(), 40, 15);
    SendMouse(Window(), WM_LBUTTONDOWN, 40, 15, MK_LBUTTON);
    SendMouse(Window(), WM_LBUTTONUP, 40, 15);
    EXPECT_TRUE(button->Value());
    EXPECT_EQ(button->LastState(), sknButton::kDrawDown);
    SendMouse(Window(), WM_MOUSEMOVE, 41, 15);
    EXPECT_EQ(button->LastState(), sknButton::kDrawDown) << "hovering keeps a checked button pressed";
    SendMouse(Window(), WM_LBUTTONDOWN, 40, 15, MK_LBUTTON);
    SendMouse(Window(), WM_LBUTTONUP, 40, 15);
    EXPECT_FALSE(button->Value());
    EXPECT_EQ(button->LastState(), sknButton::kDrawUp);
    EXPECT_EQ(log.clicks, 2);

    int changes = container.changes;
    button->SetValue(true);
    EXPECT_EQ(button->LastState(), sknButton::kDrawDown);
    EXPECT_EQ(log.clicks, 2) << "setting Value from code raises no Click";
    EXPECT_GT(container.changes, changes);
}

TEST_F(SkinButtonBehaviour, SpaceClicksOnlyAfterItsOwnPress) {
    SetFocus(Window());
    SendKey(Window(), WM_KEYDOWN, VK_SPACE);
    EXPECT_EQ(button->LastState(), sknButton::kDrawDown);
    SendKey(Window(), WM_KEYUP, VK_SPACE);
    EXPECT_EQ(log.clicks, 1);
    EXPECT_EQ(button->LastState(), sknButton::kDrawUp);

    SendKey(Window(), WM_KEYDOWN, 'A');
    SendKey(Window(), WM_KEYUP, VK_SPACE);
    EXPECT_EQ(log.clicks, 1) << "Space released after another key";
    EXPECT_EQ(log.keyDowns, 2);
    EXPECT_EQ(log.keyUps, 2);

    // A KeyDown handler that swallows the key (sets it to 0) also cancels the click.
    button->Events().KeyDown = [](int16_t& key, int16_t) { key = 0; };
    SendKey(Window(), WM_KEYDOWN, VK_SPACE);
    SendKey(Window(), WM_KEYUP, VK_SPACE);
    EXPECT_EQ(log.clicks, 1);
}

TEST_F(SkinButtonBehaviour, ArrowsMoveTheFocusWithoutClicking) {
    sknButton second(host.Handle(), container, 120, 20, kW, kH, 102);
    sknButton third(host.Handle(), container, 220, 20, kW, kH, 103);
    SetFocus(second.hWnd());
    ASSERT_EQ(GetFocus(), second.hWnd());
    SendKey(second.hWnd(), WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(GetFocus(), third.hWnd());
    SendKey(third.hWnd(), WM_KEYDOWN, VK_UP);
    EXPECT_EQ(GetFocus(), second.hWnd());
    SendKey(second.hWnd(), WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(GetFocus(), Window());
    SendKey(Window(), WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(GetFocus(), second.hWnd());
    EXPECT_TRUE(second.HasFocus());
    EXPECT_FALSE(button->HasFocus());
    EXPECT_EQ(log.clicks, 0);
}

TEST_F(SkinButtonBehaviour, AccessKeyClicksOnlyWhenEnabled) {
    EXPECT_EQ(button->AccessKey(), 'P');
    SendMessageA(Window(), BM_CLICK, 0, 0);
    EXPECT_EQ(log.clicks, 1);
    button->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(Window()));
    button->AccessKeyPressed();
    EXPECT_EQ(log.clicks, 1);
    char text[32] = {};
    GetWindowTextA(Window(), text, sizeof text);
    EXPECT_STREQ(text, "&Press me") << "the window text carries the mnemonic for dialogs";
}

TEST_F(SkinButtonBehaviour, UnchangedRedrawsAndPaintsDrawNothing) {
    HoverAt(Window(), 40, 15);
    long draws = button->DrawCount();
    for (int i = 0; i < 100; ++i) SendMouse(Window(), WM_MOUSEMOVE, 30 + i % 20, 15);
    EXPECT_EQ(button->DrawCount(), draws);
    InvalidateRect(Window(), nullptr, FALSE);
    UpdateWindow(Window());
    EXPECT_EQ(button->DrawCount(), draws) << "a paint request copies the image";
    SendKey(Window(), WM_KEYDOWN, VK_SPACE);
    SendKey(Window(), WM_KEYDOWN, VK_SPACE);  // auto-repeat
    EXPECT_EQ(button->DrawCount(), draws + 1);
}

TEST_F(SkinButtonBehaviour, HiddenFlatOrDisabledRefreshDrawsNothingUntilRefreshed) {
    long draws = button->DrawCount();
    button->DisableRefresh();
    button->SetCaption("One");
    button->SetBackColor(0x123456);
    EXPECT_EQ(button->DrawCount(), draws);
    button->Refresh();
    EXPECT_EQ(button->DrawCount(), draws + 1);

    ShowWindow(Window(), SW_HIDE);
    button->SetCaption("Two");
    EXPECT_EQ(button->DrawCount(), draws + 1);
    ShowWindow(Window(), SW_SHOW);
    EXPECT_EQ(button->DrawCount(), draws + 2) << "shown again, drawn again";

    SetWindowPos(Window(), nullptr, 0, 0, kW, 0, SWP_NOMOVE | SWP_NOZORDER);
    button->SetCaption("Three");
    button->Refresh();
    EXPECT_EQ(button->DrawCount(), draws + 2);
    SetWindowPos(Window(), nullptr, 0, 0, kW, kH, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(button->DrawCount(), draws + 3);
}

TEST_F(SkinButtonBehaviour, EllipseTypeTakesInputOnlyInsideItsEllipse) {
    button->SetButtonType(13);
    PumpMessages();
    POINT corner = ScreenPoint(Window(), 2, 2);
    POINT centre = ScreenPoint(Window(), kW / 2, kH / 2);
    EXPECT_NE(WindowFromPoint(corner), Window());
    EXPECT_EQ(WindowFromPoint(centre), Window());
    HoverAt(Window(), 2, 2);
    EXPECT_EQ(log.overs, 0);
    HoverAt(Window(), kW / 2, kH / 2);
    EXPECT_EQ(log.overs, 1);

    button->SetButtonType(2);
    PumpMessages();
    EXPECT_EQ(WindowFromPoint(corner), Window()) << "a rectangular type takes the whole area again";
}

TEST_F(SkinButtonBehaviour, ShapeRegionCutsTheCornersOfItsType) {
    auto inRegion = [&](int x, int y) {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        bool in = GetWindowRgn(Window(), rgn) != ERROR && PtInRegion(rgn, x, y);
        DeleteObject(rgn);
        return in;
    };
    button->SetButtonType(1);
    EXPECT_FALSE(inRegion(0, 0));
    EXPECT_FALSE(inRegion(kW - 1, kH - 1));
    EXPECT_TRUE(inRegion(1, 0));
    button->SetButtonType(3);
    EXPECT_FALSE(inRegion(1, 0));
    EXPECT_FALSE(inRegion(kW - 1, 1));
    EXPECT_TRUE(inRegion(1, 1));
    button->SetButtonType(5);
    EXPECT_TRUE(inRegion(0, 0));
    EXPECT_FALSE(inRegion(kW - 1, 0));
    EXPECT_FALSE(inRegion(0, kH - 1));
}

TEST_F(SkinButtonBehaviour, NoGdiLeakOverTenThousandRedraws) {
    sknButton gradient(host.Handle(), container, 120, 20, kW, kH);
    gradient.SetButtonType(3);
    sknButton bold(host.Handle(), container, 220, 20, kW, kH);
    bold.SetButtonType(14);
    bold.SetCaption("Default");
    container.defaultButton = &bold;
    sknButton oval(host.Handle(), container, 20, 80, kW, kH);
    oval.SetButtonType(13);
    HBITMAP bits = CreateBitmap(8, 8, 1, 32, nullptr);
    oval.SetPictureNormal(std::make_shared<Picture>(Picture::FromBitmap(bits)));
    oval.SetSpecialEffect(1);

    // Warm up caches the platform keeps for fonts and brushes.
    for (int i = 0; i < 50; ++i) {
        gradient.Refresh();
        bold.Refresh();
        oval.Refresh();
    }
    long before = GdiObjectGauge();
    long drawsBefore = gradient.DrawCount() + bold.DrawCount() + oval.DrawCount() + button->DrawCount();
    for (int i = 0; i < 2500; ++i) {
        gradient.SetEnabled(i % 2 == 0);
        bold.Refresh();
        oval.Refresh();
        button->SetCaption(i % 2 ? "&Odd" : "&Even");
    }
    gradient.SetEnabled(true);
    long drawsAfter = gradient.DrawCount() + bold.DrawCount() + oval.DrawCount() + button->DrawCount();
    EXPECT_GE(drawsAfter - drawsBefore, 10000);
    PumpMessages();
    long after = GdiObjectGauge();
    EXPECT_LE(after - before, 8) << "GDI objects before " << before << ", after " << after;
    container.defaultButton = nullptr;
}
