#pragma once
// The site tile's state apart from its window: its ten design values, the address
// shortening, and which colour pair each apply call puts in force.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ui/tiles/cColourise.h"
#include "ui/base/PropertyBag.h"

namespace corvale {

struct ColourPair {
    int32_t hue = 0;
    int32_t saturation = 0;
    bool operator==(const ColourPair&) const = default;
};

struct SiteStatProperties {
    std::string siteUrl = "0";
    std::string pingValue = "0";
    ColourPair normal{185, 40};
    ColourPair error{43, 200};
    ColourPair select{84, 244};
    bool defaultControl = false;
    bool selected = false;
};

// Missing values read as their defaults.
SiteStatProperties ReadSiteStatProperties(const PropertyBag& bag);
// Values equal to their defaults are left out, in the order they are read.
void WriteSiteStatProperties(const SiteStatProperties& properties, PropertyBag& bag);

// What lblSite shows: the whole address below 19 characters, else its first 18 and "...".
// Characters, not bytes: a UTF-8 address is never cut inside a character.
std::string ShortenAddress(std::string_view address);

enum class ColourRequest { Normal, Error, Select, Unselect };

// The colouriser together with the pair it held before the last application.
class SiteStatColouring {
public:
    // The pair a request applies, or nothing when `selected` blocks it (normal and
    // error only; select and unselect always apply).
    std::optional<ColourPair> PairFor(ColourRequest request, const SiteStatProperties& properties) const;

    // Records the pair in force as the previous one and puts `pair` in force.
    void PutInForce(ColourPair pair);
    // PutInForce, then colourises `source` into `destination`. On failure the new pair
    // stays in force, as the recorded previous pair does, and the caller keeps showing
    // its old picture.
    ColourStatus Apply(ColourPair pair, const PixelView& source, const PixelGrid& destination);

    ColourPair Current() const { return {colouriser_.Hue(), colouriser_.Saturation()}; }
    ColourPair Previous() const { return previous_; }

private:
    cColourise colouriser_;
    ColourPair previous_{};
};

}  // namespace corvale
