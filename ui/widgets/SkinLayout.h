#pragma once
// Geometry of the skinned button: focus inset, caption and picture placement, the shape of
// its window and its access key. Plain computation; text is measured by the caller.

#include <functional>
#include <string_view>
#include <vector>

namespace corvale {

struct SkinRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    SkinRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const SkinRect&) const = default;
};

struct SkinPoint {
    int x = 0, y = 0;
    bool operator==(const SkinPoint&) const = default;
};

// The key that selects the control, from its caption's mnemonic ('\0' for none). Only the
// first "&&" pair is skipped: "&&x &y" gives 'y', "&&" and "&" give none.
char FindAccessKey(std::string_view caption);

// The client rectangle of a W x H control inset for its look's focus rectangle.
SkinRect FocusRectFor(int buttonType, int width, int height);

// Window shape: the full rectangle, or the inscribed ellipse, minus single cut pixels.
struct RegionShape {
    bool ellipse = false;
    std::vector<SkinPoint> removedPixels;
};
RegionShape ShapeForType(int buttonType, int width, int height);
// Whether pixel (x, y) of the image belongs to the rectangular shape (ellipses excluded).
bool ShapeKeepsPixel(const RegionShape& shape, int x, int y);

struct CaptionLayoutInput {
    int width = 0;
    int height = 0;
    int picturePosition = 0;  // 0 left, 1 right, 2 above, 3 below, 4 behind
    int picWidth = 0;
    int picHeight = 0;
    bool hasPicture = false;  // PictureNormal or PictureOver set
    bool captionBlank = true; // caption empty once trimmed of spaces
};

struct CaptionLayout {
    SkinRect textRect;
    SkinRect pressedTextRect;
    int textWidth = 0;
    int textHeight = 0;
    int picLeft = 0;
    int picTop = 0;
};

// The word-broken caption measured inside the given bounds: right and bottom become those
// of the text, as the platform's measuring text call leaves them.
using MeasureCaption = std::function<SkinRect(const SkinRect& bounds)>;

// Lays the caption out around the picture and centres it; then places the picture.
CaptionLayout LayoutCaption(const CaptionLayoutInput& in, const MeasureCaption& measure);
// Places the picture beside the laid-out caption; left untouched without a picture.
void PlacePicture(const CaptionLayoutInput& in, CaptionLayout& layout);

}  // namespace corvale
