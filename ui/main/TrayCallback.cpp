#include "ui/main/TrayCallback.h"

namespace corvale {

TrayAction TrayActionFor(uint32_t event, bool menuEvents) {
    switch (event) {
    case tray_event::kLeftButtonUp:
    case tray_event::kLeftDoubleClick:
    case tray_event::kSelect:
    case tray_event::kKeySelect:
        return TrayAction::ShowWindow;
    case tray_event::kRightButtonUp:
        return menuEvents ? TrayAction::None : TrayAction::OpenMenu;
    case tray_event::kContextMenu:
        return menuEvents ? TrayAction::OpenMenu : TrayAction::None;
    default:
        return TrayAction::None;
    }
}

}  // namespace corvale
