#pragma once
// Edge snapping of the main window as plain arithmetic, in twips.

#include <cstdint>

namespace corvale {

struct WindowBounds {
    float left = 0, top = 0, width = 0, height = 0;
};

// Pulls a window that lies within `tolerance` of an edge of the screen (or beyond it) onto
// that edge: left and top first, then right and bottom, so a window larger than the screen
// ends aligned right or bottom at a negative position.
WindowBounds SnapToScreen(WindowBounds window, float screenWidth, float screenHeight, int32_t tolerance);

}  // namespace corvale
