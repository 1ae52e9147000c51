#pragma once
// Edge snapping of the main window as plain arithmetic, in twips.

#include <cstdint>

namespace corvale {

struct WindowBounds {
    float left = 0, top = 0, width = 0, height = 0;
};

// Pulls a window that lies within `tolerance` of an edge of a work area (or beyond it) onto
// that edge: left and top first, then right and bottom, so a window larger than the area
// ends aligned right or bottom, beyond the area's left or top edge. The work area is that of
// the monitor holding most of the window, without the taskbar and other docked bars.
WindowBounds SnapToArea(WindowBounds window, WindowBounds workArea, int32_t tolerance);

}  // namespace corvale
