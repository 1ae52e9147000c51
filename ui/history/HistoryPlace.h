#pragma once
// Where the history window opens: where the user left it, while that lies on the monitor of
// the window it is opened from, else in the middle of that monitor; as large as it was left,
// within that monitor's work area.

#include <cstdint>
#include <optional>

#include "ui/base/Twips.h"
#include "ui/main/WindowPlace.h"

namespace corvale {

// The window's outer box in twips: its place on the desktop at the system's scale (as the main
// window's place is kept), its size at the scale of its monitor.
struct HistoryPlace {
    int32_t left = 0, top = 0, width = 0, height = 0;
    bool operator==(const HistoryPlace&) const = default;
};

inline constexpr float kHistoryFirstWidth = 11250, kHistoryFirstHeight = 6750;  // 750 x 450 pixels at 96
inline constexpr float kHistoryMinWidth = 6000, kHistoryMinHeight = 3750;
// The strip at the window's top by which it is taken hold of.
inline constexpr float kHistoryGripHeight = 450;

// The outer box in desktop pixels on `area`, whose scale the window takes.
PixelBox HistoryOpeningBox(const std::optional<HistoryPlace>& stored, const WorkArea& area, int systemDpi);
// The place to keep of an outer box in desktop pixels at `windowDpi`.
HistoryPlace HistoryPlaceOf(const PixelBox& box, int windowDpi, int systemDpi);

}  // namespace corvale
