#pragma once
// The state of the whole list at a glance, for the notification-area icon while the
// window is hidden: its colour and a line of text naming the sites that are not fine.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace corvale {

enum class OverallColour { Grey, Green, Yellow, Red };

// One site as its last shown result left it.
struct SiteSnapshot {
    std::string_view name;
    bool checked = false;  // has a result since the list was built
    bool answering = false;
    int32_t roundTripMs = 0;
};

struct OverallState {
    OverallColour colour = OverallColour::Grey;
    std::string text;
    bool operator==(const OverallState&) const = default;
};

// Red when any site is not responding, yellow when any answered slower than the yellow of its
// square, green when every site answered its last check, grey with no site or while a site
// has not been checked yet. The text names the sites that make the colour.
OverallState SummariseSites(std::span<const SiteSnapshot> sites);

// The icon's tip: the product name, then the state, cut to `maxUnits` UTF-16 units.
std::string OverallTipText(std::string_view productName, const OverallState& state, std::size_t maxUnits);

}  // namespace corvale
