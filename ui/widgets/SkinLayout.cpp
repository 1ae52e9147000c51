#include "ui/widgets/SkinLayout.h"

#include <algorithm>

namespace corvale {

char FindAccessKey(std::string_view caption) {
    if (caption.size() < 2) return '\0';
    std::size_t p = caption.find('&');
    if (p == std::string_view::npos || p + 1 >= caption.size()) return '\0';
    if (caption[p + 1] != '&') return caption[p + 1];
    // A doubled ampersand shows a literal one; the mnemonic may still follow it.
    std::size_t q = caption.find('&', p + 2);
    if (q == std::string_view::npos || q + 1 >= caption.size() || caption[q + 1] == '&') return '\0';
    return caption[q + 1];
}

SkinRect FocusRectFor(int buttonType, int width, int height) {
    SkinRect r{0, 0, width, height};
    int inset = 4;
    if (buttonType >= 7 && buttonType <= 13) inset = 3;
    if (buttonType == 14) inset = 5;
    r = {r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
    if (buttonType == 14) r = r.Offset(1, 1);
    return r;
}

RegionShape ShapeForType(int buttonType, int w, int h) {
    RegionShape shape;
    auto& cut = shape.removedPixels;
    switch (buttonType) {
    case 1:
    case 14:
        cut = {{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}};
        break;
    case 5:
        cut = {{0, h - 1}, {w - 1, 0}};
        break;
    case 3:
    case 4:
        cut = {{0, 0},     {1, 0},     {0, 1},     {w - 2, 0},     {w - 1, 0},     {w - 1, 1},
               {0, h - 1}, {1, h - 1}, {0, h - 2}, {w - 2, h - 1}, {w - 1, h - 1}, {w - 1, h - 2}};
        break;
    case 13:
        shape.ellipse = true;
        break;
    default:
        break;
    }
    return shape;
}

bool ShapeKeepsPixel(const RegionShape& shape, int x, int y) {
    return std::find(shape.removedPixels.begin(), shape.removedPixels.end(), SkinPoint{x, y}) ==
           shape.removedPixels.end();
}

CaptionLayout LayoutCaption(const CaptionLayoutInput& in, const MeasureCaption& measure) {
    const int w = in.width, h = in.height;
    SkinRect bounds;
    switch (in.picturePosition) {
    case 0: bounds = {in.picWidth + 1, 1, w - 2, h - 2}; break;
    case 1: bounds = {1, 1, w - 2 - in.picWidth, h - 2}; break;
    case 2: bounds = {1, in.picHeight + 1, w - 2, h - 2}; break;
    case 3: bounds = {1, 1, w - 2, h - 2 - in.picHeight}; break;
    default: bounds = {1, 1, w - 2, h - 2}; break;
    }
    CaptionLayout out;
    SkinRect text = measure ? measure(bounds) : SkinRect{bounds.left, bounds.top, bounds.left, bounds.top};
    out.textWidth = text.right - text.left;
    out.textHeight = text.bottom - text.top;
    int dx = (w - text.right) / 2;
    int dy = (h - text.bottom) / 2;
    if (in.picturePosition == 1) dx = (w - text.right - in.picWidth - 4) / 2;
    if (in.picturePosition == 3) dy = (h - text.bottom - in.picHeight - 4) / 2;
    out.textRect = text.Offset(dx, dy);
    out.pressedTextRect = out.textRect.Offset(1, 1);
    PlacePicture(in, out);
    return out;
}

void PlacePicture(const CaptionLayoutInput& in, CaptionLayout& layout) {
    if (!in.hasPicture) return;
    const int w = in.width, h = in.height;
    const SkinRect& t = layout.textRect;
    int centredLeft = (w - in.picWidth) / 2;
    int centredTop = (h - in.picHeight) / 2;
    if (in.captionBlank || in.picturePosition < 0 || in.picturePosition > 3) {
        layout.picLeft = centredLeft;
        layout.picTop = centredTop;
        return;
    }
    switch (in.picturePosition) {
    case 0: layout.picLeft = t.left - in.picWidth - 4; layout.picTop = centredTop; break;
    case 1: layout.picLeft = t.right + 4; layout.picTop = centredTop; break;
    case 2: layout.picLeft = centredLeft; layout.picTop = t.top - in.picHeight - 2; break;
    case 3: layout.picLeft = centredLeft; layout.picTop = t.bottom + 2; break;
    }
}

}  // namespace corvale
