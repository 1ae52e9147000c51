#include "ui/history/HistoryPlace.h"

#include <algorithm>
#include <cmath>

namespace corvale {

PixelBox HistoryOpeningBox(const std::optional<HistoryPlace>& stored, const WorkArea& area, int systemDpi) {
    const int areaWidth = std::max(area.right - area.left, 1), areaHeight = std::max(area.bottom - area.top, 1);
    const auto fit = [&area](double twips, double least, int most) {
        return std::min(std::max(TwipsToPixels(twips, area.dpi), TwipsToPixels(least, area.dpi)), most);
    };
    PixelBox box{0, 0, fit(stored && stored->width > 0 ? stored->width : kHistoryFirstWidth, kHistoryMinWidth, areaWidth),
                 fit(stored && stored->height > 0 ? stored->height : kHistoryFirstHeight, kHistoryMinHeight, areaHeight)};
    if (stored) {
        box.x = DesktopTwipsToPixels(stored->left, systemDpi);
        box.y = DesktopTwipsToPixels(stored->top, systemDpi);
        const int grip = std::min(TwipsToPixels(kHistoryGripHeight, area.dpi), box.height);
        if (box.x >= area.left && box.y >= area.top && box.x + box.width <= area.right && box.y + grip <= area.bottom)
            return box;
    }
    box.x = area.left + (areaWidth - box.width) / 2;
    box.y = area.top + (areaHeight - box.height) / 2;
    return box;
}

HistoryPlace HistoryPlaceOf(const PixelBox& box, int windowDpi, int systemDpi) {
    return {DesktopPixelsToTwips(box.x, systemDpi), DesktopPixelsToTwips(box.y, systemDpi),
            static_cast<int32_t>(std::lround(PixelsToTwips(box.width, windowDpi))),
            static_cast<int32_t>(std::lround(PixelsToTwips(box.height, windowDpi)))};
}

}  // namespace corvale
