#pragma once
// Colour arithmetic and the working palette of the skinned button. Plain computation,
// free of the window system: system and container colours come in already resolved.

#include <cstdint>

namespace corvale {

// 0x00BBGGRR; a value with the top bit set names a system colour until translated.
using Colour = uint32_t;

constexpr Colour MakeColour(int red, int green, int blue) {
    return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) | (static_cast<Colour>(blue) << 16);
}
constexpr int RedOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr bool IsSystemColourReference(Colour c) { return (c & 0x80000000u) != 0; }

// Adds amount to each component (blue in proportion to itself when asked) and keeps the
// result inside 0..255. A soft bevel halves every shift.
Colour ShiftColor(Colour c, int amount, bool proportional, bool softBevel);
// Moves each component towards white: level + component * (255 - level) / 255.
Colour LightenColor(Colour c, int level);

// The platform colours that schemes 1 and 4 draw with.
struct SystemColours {
    Colour buttonFace = 0xC0C0C0;
    Colour buttonText = 0;
    Colour buttonShadow = 0x808080;
    Colour light3d = 0xDFDFDF;
    Colour buttonHighlight = 0xFFFFFF;
    Colour darkShadow3d = 0;
    Colour highlight = 0x800000;
};

struct PaletteInputs {
    int colorScheme = 1;
    int buttonType = 2;
    bool softBevel = false;
    // Resolved (translated) property colours.
    Colour backColor = 0;
    Colour backOver = 0;
    Colour foreColor = 0;
    Colour foreOver = 0;
    Colour maskColor = 0xC0C0C0;
    // The container's background and text colours, for scheme 4.
    Colour containerBack = 0xFFFFFF;
    Colour containerText = 0;
    SystemColours system;
};

struct Palette {
    Colour face = 0;
    Colour faceOver = 0;
    Colour text = 0;
    Colour textOver = 0;
    Colour shadow = 0;
    Colour light = 0;
    Colour highlight = 0;
    Colour darkShadow = 0;
    Colour hot = 0;
    Colour hotLight = 0;
    Colour maskRgb = 0;
    Colour gradientBase = 0;
};

Palette BuildPalette(const PaletteInputs& in);

}  // namespace corvale
