#include "ui/tiles/SiteStatModel.h"

namespace corvale {
namespace {
const SiteStatProperties kDefaults{};
}  // namespace

SiteStatProperties ReadSiteStatProperties(const PropertyBag& bag) {
    SiteStatProperties p;
    p.siteUrl = bag.ReadText("SiteURL", kDefaults.siteUrl);
    p.pingValue = bag.ReadText("PingValue", kDefaults.pingValue);
    p.normal.hue = bag.ReadInt("BackHue", kDefaults.normal.hue);
    p.normal.saturation = bag.ReadInt("BackSaturation", kDefaults.normal.saturation);
    p.error.hue = bag.ReadInt("BackHueError", kDefaults.error.hue);
    p.error.saturation = bag.ReadInt("BackSaturationError", kDefaults.error.saturation);
    p.select.hue = bag.ReadInt("BackHueSelect", kDefaults.select.hue);
    p.select.saturation = bag.ReadInt("BackSaturationSelect", kDefaults.select.saturation);
    p.defaultControl = bag.ReadBool("DefaultControl", kDefaults.defaultControl);
    p.selected = bag.ReadBool("Selected", kDefaults.selected);
    return p;
}

void WriteSiteStatProperties(const SiteStatProperties& p, PropertyBag& bag) {
    bag.WriteText("SiteURL", p.siteUrl, kDefaults.siteUrl);
    bag.WriteText("PingValue", p.pingValue, kDefaults.pingValue);
    bag.WriteInt("BackHue", p.normal.hue, kDefaults.normal.hue);
    bag.WriteInt("BackSaturation", p.normal.saturation, kDefaults.normal.saturation);
    bag.WriteInt("BackHueError", p.error.hue, kDefaults.error.hue);
    bag.WriteInt("BackSaturationError", p.error.saturation, kDefaults.error.saturation);
    bag.WriteInt("BackHueSelect", p.select.hue, kDefaults.select.hue);
    bag.WriteInt("BackSaturationSelect", p.select.saturation, kDefaults.select.saturation);
    bag.WriteBool("DefaultControl", p.defaultControl, kDefaults.defaultControl);
    bag.WriteBool("Selected", p.selected, kDefaults.selected);
}

std::string ShortenAddress(std::string_view address) {
    constexpr int kShown = 18;
    // Counts characters by their lead bytes: continuation bytes (10xxxxxx) start none.
    int characters = 0;
    std::size_t cut = address.size();
    for (std::size_t i = 0; i < address.size(); ++i) {
        if ((static_cast<unsigned char>(address[i]) & 0xC0) == 0x80) continue;
        if (characters == kShown) cut = i;
        ++characters;
    }
    if (characters <= kShown) return std::string(address);
    return std::string(address.substr(0, cut)) + "...";
}

std::optional<ColourPair> SiteStatColouring::PairFor(ColourRequest request,
                                                     const SiteStatProperties& properties) const {
    switch (request) {
    case ColourRequest::Normal:
        if (properties.selected) return std::nullopt;
        return properties.normal;
    case ColourRequest::Error:
        if (properties.selected) return std::nullopt;
        return properties.error;
    case ColourRequest::Select: return properties.select;
    case ColourRequest::Unselect: return previous_;
    }
    return std::nullopt;
}

void SiteStatColouring::PutInForce(ColourPair pair) {
    previous_ = Current();
    colouriser_.SetHue(pair.hue);
    colouriser_.SetSaturation(pair.saturation);
}

ColourStatus SiteStatColouring::Apply(ColourPair pair, const PixelView& source, const PixelGrid& destination) {
    PutInForce(pair);
    return colouriser_.Process(source, destination);
}

}  // namespace corvale
