#include "ui/tiles/GraphBars.h"

#include <cmath>
#include <cstdlib>

namespace corvale {
namespace {

float LeftOf(int index) { return 540.0f - 60.0f * static_cast<float>(index); }

}  // namespace

BarShape DesignBar(int index) {
    BarShape bar;
    bar.left = LeftOf(index);
    return bar;
}

BarShape BarFor(int index, int32_t milliseconds) {
    BarShape bar;
    bar.left = LeftOf(index);
    if (milliseconds >= kGraphSlowMs) {
        bar.height = kGraphHeightTwips;
        bar.colour = kBarSlow;
    } else if (milliseconds <= 0) {
        // Negative times never arrive from the check cycle; shown like no answer.
        bar.height = kGraphMinBarTwips;
        bar.colour = kBarNoAnswer;
    } else {
        double x = std::pow(static_cast<double>(milliseconds), 1.02);
        x = x / 700.0;
        x = x * 100.0;
        x = x * 3.15;
        double height = std::floor(x);
        if (height < kGraphMinBarTwips) height = kGraphMinBarTwips;
        if (height > kGraphHeightTwips) height = kGraphHeightTwips;
        bar.height = static_cast<float>(height);
        bar.colour = kBarAnswer;
    }
    bar.top = kGraphHeightTwips - bar.height;
    return bar;
}

BarShape EmptyBar(int index) {
    BarShape bar;
    bar.left = LeftOf(index);
    bar.height = 0;
    bar.top = kGraphHeightTwips;
    return bar;
}

void ResponseHistory::Add(int32_t milliseconds) {
    for (int k = kGraphBarCount - 2; k >= 0; --k) values_[k + 1] = values_[k];
    values_[0] = milliseconds;
    if (count_ < kGraphBarCount) ++count_;
}

std::string FormatFontSpec(const FontSpec& font) {
    return font.name + ";" + FormatDouble(font.points) + ";" + FormatBool(font.bold) + ";" +
           std::to_string(font.charset);
}

FontSpec ParseFontSpec(std::string_view text, const FontSpec& fallback) {
    std::string parts[4];
    int count = 0;
    for (char c : text) {
        if (c == ';') {
            if (++count > 3) return fallback;
        } else {
            parts[count] += c;
        }
    }
    if (count != 3 || parts[0].empty()) return fallback;
    PropertyBag scratch;  // reuses the bag's tolerant number and boolean parsing
    scratch.WriteText("p", parts[1]);
    scratch.WriteText("b", parts[2]);
    scratch.WriteText("c", parts[3]);
    FontSpec font;
    font.name = parts[0];
    font.points = scratch.ReadDouble("p", -1);
    font.bold = scratch.ReadBool("b", false);
    font.charset = scratch.ReadInt("c", -1);
    if (font.points <= 0 || font.points > 1000 || font.charset < 0 || font.charset > 255) return fallback;
    return font;
}

GraphProperties ReadGraphProperties(const PropertyBag& bag, const FontSpec& containerFont) {
    GraphProperties p;
    p.backColor = static_cast<uint32_t>(bag.ReadInt("BackColor", 0));
    p.foreColor = static_cast<uint32_t>(bag.ReadInt("ForeColor", static_cast<int32_t>(0x80000012u)));
    p.enabled = bag.ReadBool("Enabled", true);
    p.font = bag.Contains("Font") ? ParseFontSpec(bag.ReadText("Font", ""), containerFont) : containerFont;
    p.backStyle = static_cast<int16_t>(bag.ReadInt("BackStyle", 1));
    p.borderStyle = static_cast<int16_t>(bag.ReadInt("BorderStyle", 0));
    return p;
}

void WriteGraphProperties(const GraphProperties& p, const FontSpec& containerFont, PropertyBag& bag) {
    bag.WriteInt("BackColor", static_cast<int32_t>(p.backColor), 0);
    bag.WriteInt("ForeColor", static_cast<int32_t>(p.foreColor), static_cast<int32_t>(0x80000012u));
    bag.WriteBool("Enabled", p.enabled, true);
    bag.WriteText("Font", FormatFontSpec(p.font), FormatFontSpec(containerFont));
    bag.WriteInt("BackStyle", p.backStyle, 1);
    bag.WriteInt("BorderStyle", p.borderStyle, 0);
}

}  // namespace corvale
