// The fourteen looks of the button, drawn into its persistent image.
#include <cmath>

#include "ui/widgets/sknButton.h"

namespace corvale {
namespace {

// Rounds to the nearest integer with halves to even, as the gradients are specified.
int RoundEven(float value) { return static_cast<int>(std::nearbyint(value)); }

}  // namespace

Colour sknButton::Shift(Colour c, int amount, bool proportional) const {
    return ShiftColor(c, amount, proportional, softBevel_);
}

void sknButton::Redraw(int state, bool force) {
    if (checkBoxBehaviour_ && value_) state = kDrawDown;
    // Mouse moves inside the button land here; an unchanged look costs only this comparison.
    if (!force && caption_ == lastCaption_ && state == lastState_) return;
    if (height_ == 0 || !canDraw_) return;
    lastState_ = state;
    lastCaption_ = caption_;
    ++drawCount_;
    DrawLook(state);
    if (hWnd()) InvalidateRect(hWnd(), nullptr, FALSE);
}

void sknButton::DrawLook(int state) {
    const int w = width_, h = height_;
    image_.Box(0, 0, w, h, 0, false);
    // Hovering in the custom scheme derives the whole look from the hover colour.
    const bool overColours = isOver_ && colorScheme_ == 2;
    if (overColours) palette_ = PaletteFor(backOver_);
    image_.Box(0, 0, w, h, palette_.face, false);
    if (!enabled_) {
        DrawLookDisabled();
        DrawPicture(2);
    } else if (state == kDrawUp) {
        DrawLookUp(isOver_);
        DrawPicture(0);
    } else {
        DrawLookPressed(isOver_);
        DrawPicture(1);
    }
    if (overColours) BuildPalette();
}

void sknButton::DrawFocus() {
    if (showFocusRect_ && hasFocus_) image_.FocusRectangle(focusRect_, palette_.text);
}

void sknButton::DrawGradientLook(int state, bool hovering) {
    const int w = width_, h = height_;
    const Palette& p = palette_;
    const Colour gb = p.gradientBase;
    const float step = 25.0f / static_cast<float>(h);
    auto shiftP = [this](Colour c, int n) { return Shift(c, n, true); };
    auto frameAndCorners = [&](Colour frame, Colour corner) {
        image_.Box(0, 0, w, h, frame, true);
        for (SkinPoint pt : {SkinPoint{1, 1}, SkinPoint{1, h - 2}, SkinPoint{w - 2, 1}, SkinPoint{w - 2, h - 2}})
            image_.Pixel(pt.x, pt.y, corner);
    };
    if (!enabled_) {
        image_.Box(0, 0, w, h, shiftP(gb, -24), false);
        DrawCaption(5);
        frameAndCorners(shiftP(gb, -84), shiftP(gb, -72));
        return;
    }
    if (state == kDrawUp) {
        for (int i = 1; i <= h; ++i) image_.Line(0, i, w, i, shiftP(gb, RoundEven(-step * static_cast<float>(i))));
        DrawCaption(hovering ? 1 : 0);
        frameAndCorners(0x733C00, 0x7B4D10);
        auto ring = [&](Colour outline, Colour bottom, Colour top, Colour top2, Colour left, Colour right) {
            image_.Box(1, 2, w - 2, h - 4, outline, true);
            image_.Line(2, h - 2, w - 2, h - 2, bottom);
            image_.Line(2, 1, w - 2, 1, top);
            image_.Line(1, 2, w - 1, 2, top2);
            image_.Line(2, 3, 2, h - 3, left);
            image_.Line(w - 3, 3, w - 3, h - 3, right);
        };
        if (hovering) {
            ring(0x31B2FF, 0x0096E7, 0xCEF3FF, 0x8CDBFF, 0x6BCBFF, 0x6BCBFF);
        } else if ((IsDefault() || hasFocus_) && showFocusRect_) {
            ring(0xE7AE8C, 0xEF826B, 0xFFE7CE, 0xF7D7BD, 0xF0D1B5, 0xF0D1B5);
        } else {
            image_.Line(2, h - 2, w - 2, h - 2, shiftP(gb, -48));
            image_.Line(1, h - 3, w - 2, h - 3, shiftP(gb, -32));
            image_.Line(w - 2, 2, w - 2, h - 2, shiftP(gb, -36));
            image_.Line(w - 3, 3, w - 3, h - 3, shiftP(gb, -24));
            image_.Line(2, 1, w - 2, 1, shiftP(gb, +16));
            image_.Line(1, 2, w - 2, 2, shiftP(gb, +10));
            image_.Line(1, 2, 1, h - 2, shiftP(gb, -5));
            image_.Line(2, 3, 2, h - 3, shiftP(gb, -10));
        }
        return;
    }
    const Colour base = shiftP(gb, -32);
    for (int i = 1; i <= h; ++i)
        image_.Line(0, h - i, w, h - i, shiftP(base, RoundEven(-step * static_cast<float>(i))));
    DrawCaption(2);
    frameAndCorners(0x733C00, 0x7B4D10);
    image_.Line(2, h - 2, w - 2, h - 2, shiftP(base, +16));
    image_.Line(1, h - 3, w - 2, h - 3, shiftP(base, +10));
    image_.Line(w - 2, 2, w - 2, h - 2, shiftP(base, +5));
    image_.Line(w - 3, 3, w - 3, h - 3, gb);
    image_.Line(2, 1, w - 2, 1, shiftP(base, -32));
    image_.Line(1, 2, w - 2, 2, shiftP(base, -24));
    image_.Line(1, 2, 1, h - 2, shiftP(base, -32));
    image_.Line(2, 2, 2, h - 2, shiftP(base, -22));
}

void sknButton::DrawLookUp(bool hovering) {
    const int w = width_, h = height_;
    const Palette& p = palette_;
    const int capUp = hovering ? 1 : 0;
    switch (buttonType_) {
    case 1:
        DrawCaption(capUp);
        image_.Bevel(p.highlight, p.shadow, p.highlight, p.shadow, -1, false);
        image_.Box(0, 0, w, h, p.darkShadow, true);
        DrawFocus();
        break;
    case 2:
        DrawCaption(capUp);
        if (IsDefault() && showFocusRect_) {
            image_.Bevel(p.highlight, p.darkShadow, p.light, p.shadow, -1, false);
            DrawFocus();
            image_.Box(0, 0, w, h, p.darkShadow, true);
        } else {
            image_.Bevel(p.highlight, p.darkShadow, p.light, p.shadow, 0, false);
        }
        break;
    case 3:
        DrawGradientLook(kDrawUp, hovering);
        break;
    case 4:
        image_.Box(1, 1, w - 2, h - 2, p.light, false);
        DrawCaption(enabled_ ? capUp : 3);
        image_.Box(0, 0, w, h, p.darkShadow, true);
        for (SkinPoint pt : {SkinPoint{1, 1}, SkinPoint{1, h - 2}, SkinPoint{w - 2, 1}, SkinPoint{w - 2, h - 2}})
            image_.Pixel(pt.x, pt.y, p.darkShadow);
        image_.Line(1, 2, 2, 0, p.face);
        image_.Line(3, 2, w - 3, 2, p.highlight);
        image_.Line(2, 2, 2, h - 3, p.highlight);
        image_.Pixel(3, 3, p.highlight);
        image_.Line(w - 3, 1, w - 3, h - 3, p.face);
        image_.Line(1, h - 3, w - 3, h - 3, p.face);
        image_.Pixel(w - 4, h - 4, p.face);
        image_.Line(w - 2, 2, w - 2, h - 2, p.shadow);
        image_.Line(2, h - 2, w - 2, h - 2, p.shadow);
        image_.Pixel(w - 3, h - 3, p.shadow);
        break;
    case 5:
        image_.Box(1, 1, w - 1, h - 1, Shift(p.face, +12), false);
        DrawCaption(capUp);
        image_.Box(1, 1, w - 1, h - 1, p.highlight, true);
        image_.Box(0, 0, w - 1, h - 1, Shift(p.shadow, -26), true);
        image_.Pixel(1, h - 2, Shift(p.shadow, +26));
        image_.Pixel(w - 2, 1, Shift(p.shadow, +26));
        if (hasFocus_ && showFocusRect_)
            image_.Box(layout_.textRect.left - 2, layout_.textRect.top - 1, layout_.textWidth + 4,
                       layout_.textHeight + 2, 0xCC9999, true);
        break;
    case 6:
        DrawCaption(capUp);
        image_.Bevel(Shift(p.light, +8), p.shadow, Shift(p.light, +8), p.shadow, 0, false);
        DrawFocus();
        break;
    case 7:
        DrawCaption(capUp);
        image_.Bevel(p.highlight, p.shadow, 0, 0, 0, true);
        DrawFocus();
        break;
    case 8:
        DrawCaption(capUp);
        if (hovering) image_.Bevel(p.highlight, p.shadow, 0, 0, 0, true);
        DrawFocus();
        break;
    case 9:
        if (hovering) image_.Box(1, 1, w, h, p.hotLight, false);
        DrawCaption(capUp);
        if (hovering) image_.Box(0, 0, w, h, p.hot, true);
        DrawFocus();
        break;
    case 11:
        image_.Box(0, 0, w, h, p.face, false);
        DrawCaption(capUp);
        DrawFocus();
        break;
    case 12:
        DrawCaption(capUp);
        if (hovering) image_.Bevel(p.highlight, p.darkShadow, p.light, p.shadow, 0, false);
        DrawFocus();
        break;
    case 13:
        image_.Oval(0, 0, w, h, hovering ? p.shadow : p.face, p.face);
        DrawCaption(capUp);
        break;
    case 14: {
        if (hovering) {
            image_.Box(0, 0, w, h, p.light, false);
        } else {
            const float step = 58.0f / static_cast<float>(h);
            for (int i = 1; i <= h; ++i)
                image_.Line(0, i, w, i, Shift(p.highlight, RoundEven(-step * static_cast<float>(i))));
        }
        DrawDefaultCaption(enabled_ ? capUp : 6);
        image_.Box(0, 0, w, h, Shift(p.shadow, -50), true);
        image_.Box(1, 1, w - 2, h - 2, Shift(p.face, -9), true);
        image_.Box(2, 2, w - 4, 2, p.highlight, false);
        image_.Box(2, 4, 2, h - 6, p.highlight, false);
        if (enabled_) DrawFocus();
        break;
    }
    default:  // type 10 and unknown types: the face and the picture only
        break;
    }
}

void sknButton::DrawLookPressed(bool hovering) {
    const int w = width_, h = height_;
    const Palette& p = palette_;
    switch (buttonType_) {
    case 1:
        DrawCaption(2);
        image_.Bevel(p.shadow, p.highlight, p.shadow, p.highlight, -1, false);
        image_.Box(0, 0, w, h, p.darkShadow, true);
        DrawFocus();
        break;
    case 2:
        DrawCaption(2);
        if (IsDefault() && showFocusRect_) {
            image_.Box(0, 0, w, h, p.darkShadow, true);
            image_.Box(1, 1, w - 2, h - 2, p.shadow, true);
            DrawFocus();
        } else {
            image_.Bevel(p.darkShadow, p.highlight, p.shadow, p.light, 0, false);
        }
        break;
    case 3:
        DrawGradientLook(kDrawDown, hovering);
        break;
    case 4: {
        const Colour pressedFace = Shift(p.shadow, -16);
        image_.Box(1, 1, w - 2, h - 2, pressedFace, false);
        palette_.gradientBase = pressedFace;
        DrawCaption(2);
        palette_.gradientBase = Shift(p.face, +48);
        image_.Box(0, 0, w, h, p.darkShadow, true);
        image_.Box(1, 1, w - 2, h - 2, Shift(p.shadow, -64), true);
        image_.Box(2, 2, w - 4, h - 4, Shift(p.shadow, -32), true);
        image_.Pixel(2, 2, Shift(p.shadow, -64));
        image_.Pixel(3, 3, Shift(p.shadow, -32));
        for (SkinPoint pt : {SkinPoint{1, 1}, SkinPoint{1, h - 2}, SkinPoint{w - 2, 1}, SkinPoint{w - 2, h - 2}})
            image_.Pixel(pt.x, pt.y, p.darkShadow);
        image_.Line(w - 3, 1, w - 3, h - 3, p.shadow);
        image_.Line(1, h - 3, w - 2, h - 3, p.shadow);
        image_.Pixel(w - 4, h - 4, p.shadow);
        image_.Line(w - 2, 3, w - 2, h - 2, Shift(p.shadow, -16));
        image_.Line(3, h - 2, w - 2, h - 2, Shift(p.shadow, -16));
        image_.Line(w - 2, h - 3, w - 4, h - 1, Shift(p.shadow, -32));
        image_.Pixel(2, h - 2, Shift(p.shadow, -32));
        image_.Pixel(w - 2, 2, Shift(p.shadow, -32));
        break;
    }
    case 5:
        image_.Box(1, 1, w - 2, h - 2, Shift(p.shadow, +16), false);
        image_.Box(0, 0, w - 1, h - 1, Shift(p.shadow, -26), true);
        image_.Line(w - 1, 1, w - 1, h, p.highlight);
        image_.Line(1, h - 1, w - 1, h - 1, p.highlight);
        DrawCaption(kCaptionPressedInPlace);
        if (hasFocus_ && showFocusRect_)
            image_.Box(layout_.textRect.left - 2, layout_.textRect.top - 1, layout_.textWidth + 4,
                       layout_.textHeight + 2, 0xCC9999, true);
        break;
    case 6:
        DrawCaption(2);
        image_.Bevel(p.shadow, Shift(p.light, +8), p.shadow, Shift(p.light, +8), 0, false);
        DrawFocus();
        break;
    case 7:
    case 8:
        DrawCaption(2);
        image_.Bevel(p.shadow, p.highlight, 0, 0, 0, true);
        DrawFocus();
        break;
    case 9:
        if (hovering)
            image_.Box(0, 0, w, h, colorScheme_ == 2 ? Shift(p.hotLight, -32) : LightenColor(p.hot, 128), false);
        DrawCaption(2);
        image_.Box(0, 0, w, h, p.hot, true);
        DrawFocus();
        break;
    case 11:
        image_.Box(0, 0, w, h, p.face, false);
        DrawCaption(2);
        DrawFocus();
        break;
    case 12:
        DrawCaption(2);
        image_.Bevel(p.darkShadow, p.highlight, p.shadow, p.light, 0, false);
        DrawFocus();
        break;
    case 13:
        image_.Oval(0, 0, w, h, p.darkShadow, Shift(p.face, -32));
        DrawCaption(2);
        break;
    case 14:
        image_.Box(1, 1, w, h, Shift(p.face, -9), false);
        image_.Box(0, 0, w, h, Shift(p.shadow, -48), true);
        image_.Line(2, h - 2, w - 2, h - 2, p.highlight);
        image_.Line(w - 2, 2, w - 2, h - 1, p.highlight);
        DrawCaption(7);
        DrawFocus();
        break;
    default:
        break;
    }
}

void sknButton::DrawLookDisabled() {
    const int w = width_, h = height_;
    const Palette& p = palette_;
    switch (buttonType_) {
    case 1:
        DrawCaption(3);
        image_.Bevel(p.highlight, p.shadow, p.highlight, p.shadow, -1, false);
        image_.Box(0, 0, w, h, p.darkShadow, true);
        break;
    case 2:
        DrawCaption(3);
        image_.Bevel(p.highlight, p.darkShadow, p.light, p.shadow, 0, false);
        break;
    case 3:
        DrawGradientLook(kDrawUp, false);
        break;
    case 4:
    case 14:
        // The up look without hover, with the disabled caption (the up code checks Enabled).
        DrawLookUp(false);
        break;
    case 5:
        DrawCaption(4);
        image_.Box(0, 0, w, h, p.shadow, true);
        break;
    case 6:
        DrawCaption(4);
        image_.Bevel(Shift(p.light, +8), p.shadow, Shift(p.light, +8), p.shadow, 0, false);
        break;
    case 7:
        DrawCaption(3);
        image_.Bevel(p.highlight, p.shadow, 0, 0, 0, true);
        break;
    case 8:
    case 12:
    case 13:
        DrawCaption(3);
        break;
    case 9:
        DrawCaption(4);
        break;
    case 11:
        image_.Box(0, 0, w, h, p.face, false);
        DrawCaption(3);
        break;
    default:
        break;
    }
}

// ---- Caption ----------------------------------------------------------------------------

void sknButton::DrawCaption(int captionState) {
    captionState_ = captionState;
    const Palette& p = palette_;
    const SkinRect& up = layout_.textRect;
    const SkinRect& pressed = layout_.pressedTextRect;
    HFONT font = fontHandle_.Get();
    switch (captionState) {
    case 0:
        DrawCaptionEffect(up);
        image_.Text(caption_, up, p.text, font);
        break;
    case 1:
        DrawCaptionEffect(up);
        image_.Text(caption_, up, p.textOver, font);
        break;
    case 2:
        DrawCaptionEffect(pressed);
        image_.Text(caption_, pressed, buttonType_ == 4 ? p.light : p.textOver, font);
        break;
    case 3:
        image_.Text(caption_, pressed, p.highlight, font);
        image_.Text(caption_, up, p.shadow, font);
        break;
    case 4:
        image_.Text(caption_, up, p.shadow, font);
        break;
    case 5:
        image_.Text(caption_, up, Shift(p.gradientBase, -104, true), font);
        break;
    case 6:
        image_.Text(caption_, pressed, p.highlight, font);
        image_.Text(caption_, up, p.face, font);
        break;
    case 7:
        image_.Text(caption_, pressed, Shift(p.shadow, -50), font);
        image_.Text(caption_, up, p.highlight, font);
        break;
    case kCaptionPressedInPlace:
        // Type 5 keeps its caption in place while pressed, without relief.
        image_.Text(caption_, up, p.textOver, font);
        break;
    default:
        break;
    }
}

// Type 14 shows the container's default button with a bold caption.
void sknButton::DrawDefaultCaption(int captionState) {
    if (captionState > 1 || font_.bold || !IsDefault()) {
        DrawCaption(captionState);
        return;
    }
    const bool couldDraw = canDraw_;
    canDraw_ = false;
    SkinFontSpec bold = font_;
    const SkinFontSpec saved = font_;
    bold.bold = true;
    ApplyFont(bold);
    DrawCaption(captionState);
    ApplyFont(saved);
    canDraw_ = couldDraw;
}

void sknButton::DrawCaptionEffect(const SkinRect& rect) {
    if (specialEffect_ <= 0) return;
    const Palette& p = palette_;
    Colour base = p.face;
    if (buttonType_ == 3 || buttonType_ == 4 || buttonType_ == 14) base = p.gradientBase;
    else if (buttonType_ == 9 && captionState_ == 1 && colorScheme_ != 2) base = p.hotLight;
    const bool sunken = specialEffect_ == 2;
    HFONT font = fontHandle_.Get();
    image_.Text(caption_, rect.Offset(1, 1), Shift(base, sunken ? +40 : -40), font);
    if (specialEffect_ == 1 || sunken) image_.Text(caption_, rect.Offset(-1, -1), Shift(base, sunken ? -40 : +40), font);
}

// ---- Picture ----------------------------------------------------------------------------

void sknButton::DrawSilhouette(const Picture& picture, int x, int y, Colour colour, bool darkOnly) {
    BlendOptions o;
    if (useMaskColor_) o.transparent = palette_.maskRgb;
    o.solid = colour;
    o.darkOnly = darkOnly;
    image_.BlendPicture(x, y, picture, palette_.maskRgb, o);
}

void sknButton::DrawPicture(int pictureState) {
    if (!pictureNormal_ || picWidth_ <= 0 || picHeight_ <= 0) return;
    const Palette& p = palette_;
    const int left = layout_.picLeft, top = layout_.picTop;
    const Picture& normal = *pictureNormal_;
    auto draw = [&](const Picture& picture, int x, int y, bool greyscale = false, bool blend = false) {
        BlendOptions o;
        if (useMaskColor_) o.transparent = p.maskRgb;
        o.greyscale = greyscale;
        o.blend = blend;
        image_.BlendPicture(x, y, picture, p.maskRgb, o);
    };
    const bool type9 = buttonType_ == 9;
    if (pictureState == 0 && isOver_) {
        if (type9) {
            DrawPictureEffect(normal, -1);
            DrawSilhouette(normal, left + 1, top + 1, p.shadow, false);
            draw(normal, left - 1, top - 1);
        } else {
            const Picture& shown = pictureOver_ ? *pictureOver_ : normal;
            DrawPictureEffect(shown, 0);
            draw(shown, left, top);
        }
    } else if (pictureState == 0) {
        DrawPictureEffect(normal, 0);
        draw(normal, left, top, useGreyscale_, type9);
    } else if (pictureState == 1) {
        if (pictureOver_ && !type9) {
            const int d = buttonType_ == 5 ? 0 : 1;
            draw(*pictureOver_, left + d, top + d);
        } else if (buttonType_ == 5 || type9) {
            DrawPictureEffect(normal, 0);
            draw(normal, left, top);
        } else {
            DrawPictureEffect(normal, 1);
            draw(normal, left + 1, top + 1);
        }
    } else {
        if (buttonType_ == 3) {
            draw(normal, left + 1, top + 1, true);
        } else if (buttonType_ == 5 || buttonType_ == 6 || type9) {
            DrawSilhouette(normal, left, top, type9 ? Shift(p.shadow, +13) : p.shadow, true);
        } else {
            DrawSilhouette(normal, left + 1, top + 1, p.highlight, true);
            DrawSilhouette(normal, left, top, p.shadow, true);
        }
    }
    // A caption over a centred picture stays readable (type 10 shows no caption at all);
    // it is drawn again exactly as the look drew it, so it lands on itself.
    if (picturePosition_ == 4 && buttonType_ != 10) {
        if (buttonType_ == 14) DrawDefaultCaption(captionState_);
        else DrawCaption(captionState_);
    }
}

void sknButton::DrawPictureEffect(const Picture& picture, int d) {
    if (specialEffect_ <= 0) return;
    const Palette& p = palette_;
    Colour base = p.face;
    if (buttonType_ == 3) base = p.gradientBase;
    else if (d == -1 && colorScheme_ != 2) base = p.hotLight;
    const bool sunken = specialEffect_ == 2;
    const int left = layout_.picLeft, top = layout_.picTop;
    DrawSilhouette(picture, left + d + 1, top + d + 1, Shift(base, sunken ? +40 : -40), false);
    if (specialEffect_ == 1 || sunken)
        DrawSilhouette(picture, left + d - 1, top + d - 1, Shift(base, sunken ? -40 : +40), false);
}

}  // namespace corvale
