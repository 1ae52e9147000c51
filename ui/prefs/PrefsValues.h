#pragma once
// The preferences dialog's rules that need no window: what a slider starts at and what
// Save takes from it, the start-up box's states, and the product information text.

#include <cstdint>
#include <string>
#include <string_view>

namespace corvale {

// A stored setting behind a slider whose range cannot show every value the settings
// file may hold (an interval above 120 written by hand, say).
struct SliderSetting {
    double stored = 0;
    bool moved = false;

    // The stored value rounded to a whole number, or the nearest end of the range.
    int StartPosition(int minimum, int maximum) const;
    // What Save stores: the slider's value once the user moved it; until then the stored
    // value, untouched, so opening and saving never changes a setting by itself.
    double ValueToSave(int sliderValue) const { return moved ? sliderValue : stored; }
};

// The check box's states, as the platform numbers them.
enum class StartupBox { Unchecked = 0, Checked = 1, Greyed = 2 };

// What the box shows for a stored "Startup" value: 0, 1 and 2 as they are; any other value
// shows unchecked and, since the box did not change, touches nothing.
StartupBox StartupBoxFor(int16_t stored);
// Where a click takes the box: unchecked becomes checked; checked and greyed unchecked.
StartupBox StartupBoxAfterClick(StartupBox state);

// "<product> Version <major>.<minor> Build <revision>", a blank line, the company, a blank line.
std::string ProductInfoText(std::string_view product, int major, int minor, int revision, std::string_view company);

}  // namespace corvale
