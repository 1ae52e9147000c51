#include "ui/prefs/PrefsValues.h"

#include <algorithm>
#include <cmath>

namespace corvale {

int SliderSetting::StartPosition(int minimum, int maximum) const {
    if (!std::isfinite(stored)) return minimum;
    const double rounded = std::round(stored);
    return static_cast<int>(std::clamp(rounded, static_cast<double>(minimum), static_cast<double>(maximum)));
}

StartupBox StartupBoxFor(int16_t stored) {
    switch (stored) {
    case 1: return StartupBox::Checked;
    case 2: return StartupBox::Greyed;
    default: return StartupBox::Unchecked;
    }
}

StartupBox StartupBoxAfterClick(StartupBox state) {
    // The platform's own cycle for a three-state box goes from greyed to unchecked.
    return state == StartupBox::Unchecked ? StartupBox::Checked : StartupBox::Unchecked;
}

std::string ProductInfoText(std::string_view product, int major, int minor, int revision, std::string_view company) {
    std::string text(product);
    text += " Version " + std::to_string(major) + "." + std::to_string(minor) + " Build " + std::to_string(revision);
    text += "\r\n\r\n";
    text += company;
    text += "\r\n\r\n";
    return text;
}

}  // namespace corvale
