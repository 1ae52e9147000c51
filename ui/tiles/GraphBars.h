#pragma once
// The response graph's data: the last ten round-trip times and how each becomes a bar.
// Geometry is in twips of the graph area (615 x 315, baseline at 315).

#include <array>
#include <cstdint>
#include <string>

#include "ui/base/PropertyBag.h"

namespace corvale {

inline constexpr int kGraphBarCount = 10;
inline constexpr float kGraphWidthTwips = 615.0f;
inline constexpr float kGraphHeightTwips = 315.0f;
inline constexpr float kGraphBarWidthTwips = 75.0f;
inline constexpr float kGraphMinBarTwips = 60.0f;
inline constexpr int32_t kGraphSlowMs = 700;

// Colours 0x00BBGGRR.
inline constexpr uint32_t kBarNoAnswer = 0x000000FF;
inline constexpr uint32_t kBarAnswer = 0x0000FF00;
inline constexpr uint32_t kBarSlow = 0x0000FFFF;

struct BarShape {
    float left = 0;  // twips
    float top = 0;
    float width = kGraphBarWidthTwips;
    float height = kGraphHeightTwips;
    uint32_t colour = kBarAnswer;
};

// Bar i (0 newest, right-most) before the first redraw: green at full height.
BarShape DesignBar(int index);
// Bar i showing a round-trip time in ms (0: no answer).
BarShape BarFor(int index, int32_t milliseconds);
// Bar i while the site has no result for it yet: nothing is drawn, since a bar of any
// colour would tell of an answer, or of none, that never was.
BarShape EmptyBar(int index);

// Ten values, index 0 the newest; all 0 at first.
class ResponseHistory {
public:
    void Add(int32_t milliseconds);
    int32_t operator[](int index) const { return values_[static_cast<std::size_t>(index)]; }
    // How many of the ten hold a result (all of them after ten).
    int Count() const { return count_; }

private:
    std::array<int32_t, kGraphBarCount> values_{};
    int count_ = 0;
};

// A font as kept in a design: face, size in points, weight and character set.
struct FontSpec {
    std::string name = "MS Sans Serif";
    double points = 8.25;
    bool bold = false;
    int32_t charset = 0;
    bool operator==(const FontSpec&) const = default;
};
std::string FormatFontSpec(const FontSpec& font);
// The default when the text is not a font description.
FontSpec ParseFontSpec(std::string_view text, const FontSpec& fallback);

// The graph's six design values.
struct GraphProperties {
    uint32_t backColor = 0;              // black
    uint32_t foreColor = 0x80000012;     // system button text
    bool enabled = true;
    FontSpec font;                       // default: the container's font
    int16_t backStyle = 1;               // 0 transparent, 1 opaque
    int16_t borderStyle = 0;             // 0 none, 1 single line
};
GraphProperties ReadGraphProperties(const PropertyBag& bag, const FontSpec& containerFont);
void WriteGraphProperties(const GraphProperties& properties, const FontSpec& containerFont, PropertyBag& bag);

}  // namespace corvale
