#pragma once
// Where the main window opens: where it was left, while a monitor still shows that place.
// Places on the desktop are kept in twips at the system's scale, so a stored place names one
// point of the desktop whatever the scale of the monitor it lies on; the window's size there
// is in that monitor's scale.

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>

#include "ui/base/Twips.h"

namespace corvale {

// A monitor's work area (without the taskbar and other docked bars) in desktop pixels, and
// the monitor's scale.
struct WorkArea {
    int left = 0, top = 0, right = 0, bottom = 0;
    int dpi = kBaseDpi;
};

struct OpeningPlace {
    int x = 0, y = 0;  // desktop pixels
    int dpi = kBaseDpi;  // the scale of the monitor it is on
};

// A desktop coordinate as it is stored, and back.
inline int32_t DesktopPixelsToTwips(int pixels, int systemDpi) {
    return static_cast<int32_t>(std::lround(PixelsToTwips(pixels, systemDpi)));
}
inline int DesktopTwipsToPixels(int32_t twips, int systemDpi) { return TwipsToPixels(twips, systemDpi); }

// The place of a window stored at (leftTwips, topTwips) that is `widthTwips` wide with a
// caption strip `stripHeightTwips` high: on the first work area that holds the whole strip at
// its monitor's scale. None when no work area does (the monitor is gone, or shows too little
// of the window to take hold of it).
std::optional<OpeningPlace> StoredOpeningPlace(int32_t leftTwips, int32_t topTwips, float widthTwips,
                                               float stripHeightTwips, std::span<const WorkArea> areas,
                                               int systemDpi);

}  // namespace corvale
