#pragma once
// What the shell reports on the notification-area icon, as plain computation: which of
// its events show the window and which open the icon's menu.

#include <cstdint>

namespace corvale {

// The events, as the shell numbers them (the window system's mouse messages and the
// shell's own notifications).
namespace tray_event {
inline constexpr uint32_t kContextMenu = 0x007B;   // WM_CONTEXTMENU
inline constexpr uint32_t kLeftButtonUp = 0x0202;  // WM_LBUTTONUP
inline constexpr uint32_t kLeftDoubleClick = 0x0203;
inline constexpr uint32_t kRightButtonUp = 0x0205;
inline constexpr uint32_t kSelect = 0x0400;        // NIN_SELECT: a click, after the button's release
inline constexpr uint32_t kKeySelect = 0x0401;     // NIN_KEYSELECT: Enter or Space on the icon
}  // namespace tray_event

enum class TrayAction { None, ShowWindow, OpenMenu };

// `menuEvents`: the shell speaks the icon interface that reports selection and the
// context-menu request (Shift+F10, the menu key, and a right click after the button's
// release) as events of their own. It then follows a right click with a context-menu
// request, so only that request opens the menu: the button's release would open it twice.
// Every selection shows the window, so a click that arrives as two events shows it twice,
// with the same result as once.
TrayAction TrayActionFor(uint32_t event, bool menuEvents);

}  // namespace corvale
