#include "ui/main/WindowPlace.h"

namespace corvale {

std::optional<OpeningPlace> StoredOpeningPlace(int32_t leftTwips, int32_t topTwips, float widthTwips,
                                               float stripHeightTwips, std::span<const WorkArea> areas,
                                               int systemDpi) {
    const int x = DesktopTwipsToPixels(leftTwips, systemDpi), y = DesktopTwipsToPixels(topTwips, systemDpi);
    for (const WorkArea& area : areas) {
        const int right = x + TwipsToPixels(widthTwips, area.dpi);
        const int bottom = y + TwipsToPixels(stripHeightTwips, area.dpi);
        if (x >= area.left && y >= area.top && right <= area.right && bottom <= area.bottom)
            return OpeningPlace{x, y, area.dpi};
    }
    return std::nullopt;
}

}  // namespace corvale
