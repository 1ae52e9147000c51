#include "ui/main/TrayCallback.h"

#include <gtest/gtest.h>

using namespace corvale;
using namespace corvale::tray_event;

TEST(TrayCallback, ARightClickOpensTheMenuOnceAndTheKeyboardActsAsTheMouse) {
    // The interface in use follows a right button's release with a context-menu request.
    EXPECT_EQ(TrayActionFor(kRightButtonUp, true), TrayAction::None);
    EXPECT_EQ(TrayActionFor(kContextMenu, true), TrayAction::OpenMenu);
    EXPECT_EQ(TrayActionFor(kKeySelect, true), TrayAction::ShowWindow);
    EXPECT_EQ(TrayActionFor(kSelect, true), TrayAction::ShowWindow);
    // A shell that did not take that version sends the mouse's messages alone.
    EXPECT_EQ(TrayActionFor(kRightButtonUp, false), TrayAction::OpenMenu);
    EXPECT_EQ(TrayActionFor(kLeftDoubleClick, false), TrayAction::ShowWindow);
    EXPECT_EQ(TrayActionFor(0x0201 /* left button down */, true), TrayAction::None);
}
