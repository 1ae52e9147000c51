#include "ui/widgets/SkinPalette.h"

#include <algorithm>

namespace corvale {

Colour ShiftColor(Colour c, int amount, bool proportional, bool softBevel) {
    if (softBevel) amount /= 2;
    int red = RedOf(c) + amount;
    int green = GreenOf(c) + amount;
    int blue = BlueOf(c);
    blue += proportional ? blue * amount / 192 : amount;
    auto limit = [amount](int v) {
        if (amount > 0) return std::min(v, 255);
        if (amount < 0) return std::max(v, 0);
        return v;
    };
    return MakeColour(limit(red), limit(green), limit(blue));
}

Colour LightenColor(Colour c, int level) {
    auto lighten = [level](int component) { return std::min(level + component * (255 - level) / 255, 255); };
    return MakeColour(lighten(RedOf(c)), lighten(GreenOf(c)), lighten(BlueOf(c)));
}

Palette BuildPalette(const PaletteInputs& in) {
    auto shift = [&](Colour c, int amount) { return ShiftColor(c, amount, false, in.softBevel); };
    Palette p;
    // Schemes 2 and 4 derive every edge colour from the face, so one face colour skins the button.
    auto deriveEdges = [&] {
        p.shadow = shift(p.face, -64);
        p.light = shift(p.face, +31);
        p.highlight = shift(p.face, +47);
        p.darkShadow = shift(p.face, -192);
    };
    switch (in.colorScheme) {
    case 2:
        p.face = in.backColor;
        p.faceOver = in.backOver;
        p.text = in.foreColor;
        p.textOver = in.foreOver;
        deriveEdges();
        p.hot = shift(p.face, -128);
        p.hotLight = p.face;
        break;
    case 3:
        p.face = p.faceOver = 0xC0C0C0;
        p.text = p.textOver = 0;
        p.shadow = 0x808080;
        p.light = 0xDFDFDF;
        p.highlight = 0xFFFFFF;
        p.darkShadow = 0;
        p.hot = 0x800000;
        p.hotLight = 0xD1ADAD;
        break;
    case 4:
        p.face = p.faceOver = in.containerBack;
        p.text = p.textOver = in.containerText;
        deriveEdges();
        p.hot = in.system.highlight;
        p.hotLight = LightenColor(p.hot, 176);
        break;
    default:
        p.face = p.faceOver = in.system.buttonFace;
        p.text = p.textOver = in.system.buttonText;
        p.shadow = in.system.buttonShadow;
        p.light = in.system.light3d;
        p.highlight = in.system.buttonHighlight;
        p.darkShadow = in.system.darkShadow3d;
        p.hot = in.system.highlight;
        p.hotLight = LightenColor(p.hot, 176);
        break;
    }
    p.maskRgb = in.maskColor;
    p.gradientBase = ShiftColor(p.face, +48, in.buttonType == 3, in.softBevel);
    return p;
}

}  // namespace corvale
