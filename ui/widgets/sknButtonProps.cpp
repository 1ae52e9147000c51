// The button's properties, their persistence, its palette and its caption layout.
#include <cmath>

#include "ui/base/ControlInput.h"
#include "ui/base/Fonts.h"
#include "ui/base/Twips.h"
#include "ui/widgets/sknButton.h"

namespace corvale {
namespace {

SystemColours CurrentSystemColours() {
    SystemColours s;
    s.buttonFace = GetSysColor(COLOR_BTNFACE);
    s.buttonText = GetSysColor(COLOR_BTNTEXT);
    s.buttonShadow = GetSysColor(COLOR_BTNSHADOW);
    s.light3d = GetSysColor(COLOR_3DLIGHT);
    s.buttonHighlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    s.darkShadow3d = GetSysColor(COLOR_3DDKSHADOW);
    s.highlight = GetSysColor(COLOR_HIGHLIGHT);
    return s;
}

std::shared_ptr<const Picture> PictureFrom(const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) return nullptr;
    auto picture = std::make_shared<Picture>(Picture::FromBytes(bytes));
    if (picture->Empty()) return nullptr;
    return picture;
}

std::vector<uint8_t> BytesOf(const std::shared_ptr<const Picture>& picture) {
    return picture ? picture->Source() : std::vector<uint8_t>{};
}

constexpr Colour kSystemButtonFace = 0x8000000F;
constexpr Colour kSystemButtonText = 0x80000012;

int32_t Stored(Colour c) { return static_cast<int32_t>(c); }
Colour Loaded(int32_t v) { return static_cast<Colour>(v); }

}  // namespace

// ---- Palette, font and layout -------------------------------------------------------

Palette sknButton::PaletteFor(Colour backColor) const {
    PaletteInputs in;
    in.colorScheme = colorScheme_;
    in.buttonType = buttonType_;
    in.softBevel = softBevel_;
    in.backColor = ResolveColour(backColor);
    in.backOver = ResolveColour(backOver_);
    in.foreColor = ResolveColour(foreColor_);
    in.foreOver = ResolveColour(foreOver_);
    in.maskColor = ResolveColour(maskColor_);
    in.containerBack = ResolveColour(container_.AmbientBackColor());
    in.containerText = ResolveColour(container_.AmbientForeColor());
    in.system = CurrentSystemColours();
    return corvale::BuildPalette(in);
}

void sknButton::BuildPalette() { palette_ = PaletteFor(backColor_); }

void sknButton::MeasurePicture() {
    picWidth_ = pictureNormal_ ? pictureNormal_->Width() : 0;
    picHeight_ = pictureNormal_ ? pictureNormal_->Height() : 0;
}

void sknButton::LayoutCaption() {
    CaptionLayoutInput in;
    in.width = width_;
    in.height = height_;
    in.picturePosition = picturePosition_;
    in.picWidth = picWidth_;
    in.picHeight = picHeight_;
    in.hasPicture = pictureNormal_ || pictureOver_;
    in.captionBlank = caption_.find_first_not_of(' ') == std::string::npos;
    layout_ = corvale::LayoutCaption(in, [this](const SkinRect& bounds) {
        return image_.MeasureText(caption_, bounds, fontHandle_.Get());
    });
}

void sknButton::ApplyFont(const SkinFontSpec& font) {
    font_ = font;
    FontDescription description;
    description.face = font.name;
    description.points = font.size;
    description.bold = font.bold;
    description.italic = font.italic;
    description.underline = font.underline;
    description.strikeout = font.strikethrough;
    if (auto created = CreateFontForDpi(description, dpi_)) fontHandle_ = std::move(created);
    LayoutCaption();
}

void sknButton::SetAccessKey() {
    accessKey_ = FindAccessKey(caption_);
    // The window text carries the mnemonic, so a dialog routes the key to this button.
    if (hWnd()) SetWindowTextA(hWnd(), caption_.c_str());
}

bool sknButton::IsDefault() const { return container_.IsDefaultButton(*this); }

// ---- Persistence ----------------------------------------------------------------------

void sknButton::InitNew() {
    enabled_ = showFocusRect_ = useMaskColor_ = true;
    caption_ = container_.DisplayName();
    ApplyFont(container_.AmbientFont());
    buttonType_ = 2;
    colorScheme_ = 1;
    BuildPalette();
    backColor_ = backOver_ = palette_.face;
    foreColor_ = foreOver_ = palette_.text;
    maskColor_ = 0xC0C0C0;
    SetAccessKey();
    if (hWnd()) EnableWindow(hWnd(), TRUE);
    OnResize();
}

void sknButton::ReadProperties(const PropertyBag& bag) {
    // Loading restores the design; it changes nothing that needs saving.
    loading_ = true;
    buttonType_ = bag.ReadInt("BTYPE", 2);
    caption_ = bag.ReadText("TX", "");
    enabled_ = bag.ReadBool("ENAB", true);
    if (auto font = ParseFontSpec(bag.ReadText("FONT", ""))) font_ = *font;
    colorScheme_ = bag.ReadInt("COLTYPE", 1);
    showFocusRect_ = bag.ReadBool("FOCUSR", true);
    backColor_ = Loaded(bag.ReadInt("BCOL", Stored(kSystemButtonFace)));
    backOver_ = Loaded(bag.ReadInt("BCOLO", Stored(backColor_)));
    foreColor_ = Loaded(bag.ReadInt("FCOL", Stored(kSystemButtonText)));
    foreOver_ = Loaded(bag.ReadInt("FCOLO", Stored(foreColor_)));
    maskColor_ = Loaded(bag.ReadInt("MCOL", 0xC0C0C0));
    SetMousePointer(static_cast<int16_t>(bag.ReadInt("MPTR", 0)));
    SetMouseIcon(PictureFrom(bag.ReadBytes("MICON")));
    pictureNormal_ = PictureFrom(bag.ReadBytes("PICN"));
    pictureOver_ = PictureFrom(bag.ReadBytes("PICH"));
    useMaskColor_ = bag.ReadBool("UMCOL", true);
    softBevel_ = bag.ReadBool("SOFT", false);
    picturePosition_ = bag.ReadInt("PICPOS", 0);
    useGreyscale_ = bag.ReadBool("NGREY", false);
    specialEffect_ = bag.ReadInt("FX", 0);
    SetHandPointer(bag.ReadBool("HAND", false));
    checkBoxBehaviour_ = bag.ReadBool("CHECK", false);
    value_ = bag.ReadBool("VALUE", false);
    loading_ = false;

    if (hWnd()) EnableWindow(hWnd(), enabled_);
    MeasurePicture();
    ApplyFont(font_);
    SetAccessKey();
    BuildPalette();
    // The type decides the shape and focus inset; this also draws the loaded look.
    OnResize();
}

void sknButton::WriteProperties(PropertyBag& bag) const {
    bag.WriteInt("BTYPE", buttonType_);
    bag.WriteText("TX", caption_);
    bag.WriteBool("ENAB", enabled_);
    bag.WriteText("FONT", FormatFontSpec(font_));
    bag.WriteInt("COLTYPE", colorScheme_);
    bag.WriteBool("FOCUSR", showFocusRect_);
    bag.WriteInt("BCOL", Stored(backColor_));
    bag.WriteInt("BCOLO", Stored(backOver_));
    bag.WriteInt("FCOL", Stored(foreColor_));
    bag.WriteInt("FCOLO", Stored(foreOver_));
    bag.WriteInt("MCOL", Stored(maskColor_));
    bag.WriteInt("MPTR", mousePointer_);
    bag.WriteBytes("MICON", BytesOf(mouseIcon_));
    bag.WriteBytes("PICN", BytesOf(pictureNormal_));
    bag.WriteBytes("PICH", BytesOf(pictureOver_));
    bag.WriteBool("UMCOL", useMaskColor_);
    bag.WriteBool("SOFT", softBevel_);
    bag.WriteInt("PICPOS", picturePosition_);
    bag.WriteBool("NGREY", useGreyscale_);
    bag.WriteInt("FX", specialEffect_);
    bag.WriteBool("HAND", handPointer_);
    bag.WriteBool("CHECK", checkBoxBehaviour_);
    bag.WriteBool("VALUE", value_);
}

// ---- Property setters -----------------------------------------------------------------

void sknButton::SetButtonType(int newValue) {
    buttonType_ = newValue;
    if (newValue == 5 && !container_.UserMode()) {
        font_.bold = true;
        ApplyFont(font_);
    }
    // Palette first: the gradient base depends on the type.
    BuildPalette();
    OnResize();
    MarkChanged();
}

void sknButton::SetCaption(const std::string& newValue) {
    caption_ = newValue;
    SetAccessKey();
    LayoutCaption();
    Redraw(kDrawUp, true);
    MarkChanged();
}

void sknButton::SetEnabled(bool newValue) {
    enabled_ = newValue;
    Redraw(kDrawUp, true);
    if (hWnd()) EnableWindow(hWnd(), newValue);
    MarkChanged();
}

void sknButton::SetFont(const SkinFontSpec& newFont) {
    ApplyFont(newFont);
    Redraw(kDrawUp, true);
    MarkChanged();
}

void sknButton::SetFontBold(bool newValue) {
    SkinFontSpec f = font_;
    f.bold = newValue;
    SetFont(f);
}

void sknButton::SetFontItalic(bool newValue) {
    SkinFontSpec f = font_;
    f.italic = newValue;
    SetFont(f);
}

void sknButton::SetFontUnderline(bool newValue) {
    SkinFontSpec f = font_;
    f.underline = newValue;
    SetFont(f);
}

int16_t sknButton::FontSize() const { return static_cast<int16_t>(std::lround(font_.size)); }

void sknButton::SetFontSize(int16_t newValue) {
    if (newValue <= 0) return;  // no font has a size of nothing; keep the current one
    SkinFontSpec f = font_;
    f.size = newValue;
    SetFont(f);
}

void sknButton::SetFontName(const std::string& newValue) {
    SkinFontSpec f = font_;
    f.name = newValue;
    SetFont(f);
}

void sknButton::SetColorScheme(int newValue) {
    colorScheme_ = newValue;
    BuildPalette();
    Redraw(kDrawUp, true);
    MarkChanged();
}

void sknButton::SetShowFocusRect(bool newValue) {
    showFocusRect_ = newValue;
    Redraw(lastState_, true);
    MarkChanged();
}

void sknButton::SetBackColor(Colour theCol) {
    backColor_ = theCol;
    if (!container_.UserMode()) backOver_ = theCol;
    BuildPalette();
    Redraw(lastState_, true);
    MarkChanged();
}

void sknButton::SetBackOver(Colour theCol) {
    backOver_ = theCol;
    BuildPalette();
    Redraw(lastState_, true);
    MarkChanged();
}

void sknButton::SetForeColor(Colour theCol) {
    foreColor_ = theCol;
    if (!container_.UserMode()) foreOver_ = theCol;
    BuildPalette();
    Redraw(lastState_, true);
    MarkChanged();
}

void sknButton::SetForeOver(Colour theCol) {
    foreOver_ = theCol;
    BuildPalette();
    Redraw(lastState_, true);
    MarkChanged();
}

void sknButton::SetMaskColor(Colour theCol) {
    maskColor_ = theCol;
    BuildPalette();
    Redraw(lastState_, true);
    MarkChanged();
}

void sknButton::SetMousePointer(int16_t newPointer) {
    mousePointer_ = newPointer;
    MarkChanged();
}

void sknButton::SetMouseIcon(std::shared_ptr<const Picture> newIcon) {
    mouseIcon_ = std::move(newIcon);
    MarkChanged();
}

void sknButton::SetHandPointer(bool newValue) {
    handPointer_ = newValue;
    // The hand is the platform's own cursor, so no picture is kept for it.
    mouseIcon_.reset();
    mousePointer_ = newValue ? 99 : 1;
    MarkChanged();
}

void sknButton::SetSoftBevel(bool newValue) {
    softBevel_ = newValue;
    BuildPalette();
    Redraw(lastState_, true);
    MarkChanged();
}

void sknButton::SetPictureNormal(std::shared_ptr<const Picture> newPic) {
    pictureNormal_ = std::move(newPic);
    MeasurePicture();
    LayoutCaption();
    Redraw(lastState_, true);
    MarkChanged();
}

void sknButton::SetPictureOver(std::shared_ptr<const Picture> newPic) {
    pictureOver_ = std::move(newPic);
    if (isOver_) Redraw(lastState_, true);
    MarkChanged();
}

void sknButton::SetPicturePosition(int newPicPos) {
    picturePosition_ = newPicPos;
    MarkChanged();
    LayoutCaption();
    Redraw(lastState_, true);
}

void sknButton::SetUseMaskColor(bool newValue) {
    useMaskColor_ = newValue;
    if (pictureNormal_) Redraw(lastState_, true);
    MarkChanged();
}

void sknButton::SetUseGreyscale(bool newValue) {
    useGreyscale_ = newValue;
    if (pictureNormal_) Redraw(lastState_, true);
    MarkChanged();
}

void sknButton::SetSpecialEffect(int newValue) {
    specialEffect_ = newValue;
    Redraw(lastState_, true);
    MarkChanged();
}

void sknButton::SetCheckBoxBehaviour(bool newValue) {
    checkBoxBehaviour_ = newValue;
    Redraw(lastState_, true);
    MarkChanged();
}

void sknButton::SetValue(bool newValue) {
    value_ = newValue;
    if (checkBoxBehaviour_) Redraw(kDrawUp, true);
    MarkChanged();
}

}  // namespace corvale
