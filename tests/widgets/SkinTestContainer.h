#pragma once
// A container for skinned buttons under test, and helpers that move the real cursor and
// deliver the mouse messages the window system would send.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "WinTestSupport.h"
#include "ui/widgets/sknButton.h"

namespace corvale::test {

class SkinTestContainer : public SkinContainer {
public:
    bool UserMode() const override { return userMode; }
    std::string DisplayName() const override { return displayName; }
    SkinFontSpec AmbientFont() const override { return font; }
    bool IsDefaultButton(const sknButton& button) const override { return defaultButton == &button; }
    Colour AmbientBackColor() const override { return backColor; }
    Colour AmbientForeColor() const override { return foreColor; }
    void PropertyChanged(sknButton&) override { ++changes; }

    bool userMode = true;
    std::string displayName = "sknButton1";
    SkinFontSpec font;
    const sknButton* defaultButton = nullptr;
    Colour backColor = 0xFFFFFF;
    Colour foreColor = 0;
    int changes = 0;
};

// Counts of the events a button raised.
struct EventLog {
    int clicks = 0, overs = 0, outs = 0, downs = 0, ups = 0, moves = 0, keyDowns = 0, keyUps = 0, keyPresses = 0;
    int16_t lastDownButton = -1;
    float lastDownX = -1, lastDownY = -1;
    void Attach(sknButton& button);
};

// Screen position of a client point of a window.
POINT ScreenPoint(HWND window, int x, int y);
// Puts the cursor on a client point of the button (or anywhere on screen) without sending
// the button a message of its own.
void PlaceCursor(HWND window, int x, int y);
void PlaceCursorAway();
// Sends the mouse message for a client point, with the given MK_ flags.
void SendMouse(HWND window, UINT message, int x, int y, WPARAM flags = 0);
// Cursor onto the point, then the move message over it.
void HoverAt(HWND window, int x, int y);
void SendKey(HWND window, UINT message, WPARAM key);

// A suite whose tests share one host window and a container: creating and destroying a
// top-level window is slow under Wine.
template <int HostWidth, int HostHeight>
class SkinButtonSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { hostWindow = new TestHostWindow(HostWidth, HostHeight); }
    static void TearDownTestSuite() {
        delete hostWindow;
        hostWindow = nullptr;
    }
    static inline TestHostWindow* hostWindow = nullptr;
    TestHostWindow& host = *hostWindow;
    SkinTestContainer container;
};

}  // namespace corvale::test
