#pragma once
// The skinned push button: a child window that draws every pixel itself in one of fourteen
// looks, tracks hovering, can act as a two-state button and clips itself to its shape.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ui/base/ControlInput.h"
#include "ui/base/GdiHandles.h"
#include "ui/base/Picture.h"
#include "ui/base/PropertyBag.h"
#include "ui/base/Window.h"
#include "ui/widgets/SkinDraw.h"
#include "ui/widgets/SkinFont.h"
#include "ui/widgets/SkinLayout.h"
#include "ui/widgets/SkinPalette.h"

namespace corvale {

class sknButton;

// The values a button takes from the window that holds it.
class SkinContainer {
public:
    virtual ~SkinContainer() = default;
    // False while the container's design is being edited.
    virtual bool UserMode() const = 0;
    // The name a newly placed button takes as its caption.
    virtual std::string DisplayName() const = 0;
    virtual SkinFontSpec AmbientFont() const = 0;
    virtual bool IsDefaultButton(const sknButton& button) const = 0;
    virtual Colour AmbientBackColor() const = 0;
    virtual Colour AmbientForeColor() const = 0;
    // A persisted property changed, so the design needs saving.
    virtual void PropertyChanged(sknButton& button) = 0;
};

// Mouse buttons: 1 left, 2 right, 4 middle. Shift: 1 Shift, 2 Ctrl, 4 Alt. X and Y in twips.
struct sknButtonEvents {
    std::function<void(int16_t button, int16_t shift, float x, float y)> MouseDown;
    std::function<void(int16_t button, int16_t shift, float x, float y)> MouseMove;
    std::function<void(int16_t button, int16_t shift, float x, float y)> MouseUp;
    std::function<void(int16_t& keyAscii)> KeyPress;
    std::function<void(int16_t& keyCode, int16_t shift)> KeyDown;
    std::function<void(int16_t& keyCode, int16_t shift)> KeyUp;
    std::function<void()> MouseOver;
    std::function<void()> MouseOut;
    std::function<void()> Click;
};

class sknButton : public Window {
public:
    static constexpr const char* kClassName = "Corvale.sknButton";
    static constexpr int kDrawUp = 0;
    static constexpr int kDrawDown = 2;

    // Creates the button's window as a visible child of parent, at a pixel position and size
    // (pixels of the parent's scale, which the caption's font takes too).
    sknButton(HWND parent, SkinContainer& container, int x, int y, int width, int height, int id = 0);
    sknButton(const sknButton&) = delete;
    sknButton& operator=(const sknButton&) = delete;
    ~sknButton() override;

    // A new button placed on a design: container name and font, scheme 1 colours.
    void InitNew();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    sknButtonEvents& Events() { return events_; }

    int ButtonType() const { return buttonType_; }
    void SetButtonType(int newValue);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& newValue);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool newValue);
    const SkinFontSpec& Font() const { return font_; }
    void SetFont(const SkinFontSpec& newFont);
    bool FontBold() const { return font_.bold; }
    void SetFontBold(bool newValue);
    bool FontItalic() const { return font_.italic; }
    void SetFontItalic(bool newValue);
    bool FontUnderline() const { return font_.underline; }
    void SetFontUnderline(bool newValue);
    int16_t FontSize() const;
    void SetFontSize(int16_t newValue);
    const std::string& FontName() const { return font_.name; }
    void SetFontName(const std::string& newValue);
    int ColorScheme() const { return colorScheme_; }
    void SetColorScheme(int newValue);
    bool ShowFocusRect() const { return showFocusRect_; }
    void SetShowFocusRect(bool newValue);
    Colour BackColor() const { return backColor_; }
    void SetBackColor(Colour theCol);
    Colour BackOver() const { return backOver_; }
    void SetBackOver(Colour theCol);
    Colour ForeColor() const { return foreColor_; }
    void SetForeColor(Colour theCol);
    Colour ForeOver() const { return foreOver_; }
    void SetForeOver(Colour theCol);
    Colour MaskColor() const { return maskColor_; }
    void SetMaskColor(Colour theCol);
    int16_t MousePointer() const { return mousePointer_; }
    void SetMousePointer(int16_t newPointer);
    std::shared_ptr<const Picture> MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(std::shared_ptr<const Picture> newIcon);
    bool HandPointer() const { return handPointer_; }
    void SetHandPointer(bool newValue);
    bool SoftBevel() const { return softBevel_; }
    void SetSoftBevel(bool newValue);
    std::shared_ptr<const Picture> PictureNormal() const { return pictureNormal_; }
    void SetPictureNormal(std::shared_ptr<const Picture> newPic);
    std::shared_ptr<const Picture> PictureOver() const { return pictureOver_; }
    void SetPictureOver(std::shared_ptr<const Picture> newPic);
    int PicturePosition() const { return picturePosition_; }
    void SetPicturePosition(int newPicPos);
    bool UseMaskColor() const { return useMaskColor_; }
    void SetUseMaskColor(bool newValue);
    bool UseGreyscale() const { return useGreyscale_; }
    void SetUseGreyscale(bool newValue);
    int SpecialEffect() const { return specialEffect_; }
    void SetSpecialEffect(int newValue);
    bool CheckBoxBehaviour() const { return checkBoxBehaviour_; }
    void SetCheckBoxBehaviour(bool newValue);
    bool Value() const { return value_; }
    void SetValue(bool newValue);
    static const char* Version() { return "2.0.6 B"; }

    void Refresh();
    // The window's scale has changed (its container has placed it anew): the caption's font
    // and the look follow.
    void Rescale();
    // No drawing until Refresh or until the button is shown again.
    void DisableRefresh();
    // The container's colours, font or default button changed.
    void AmbientChanged();
    // The mnemonic key, or Enter / Escape when the container treats this as its default or
    // cancel button: acts as a left click.
    void AccessKeyPressed();
    // The mnemonic character of the caption, '\0' for none.
    char AccessKey() const { return accessKey_; }

    // Read-only views of the drawing state, for containers and tests.
    const Palette& CurrentPalette() const { return palette_; }
    const CaptionLayout& Layout() const { return layout_; }
    const SkinRect& FocusRect() const { return focusRect_; }
    const SkinImage& Image() const { return image_; }
    bool IsOver() const { return isOver_; }
    bool HasFocus() const { return hasFocus_; }
    int LastState() const { return lastState_; }
    // Number of times the look was drawn in full; an unchanged redraw does not count.
    long DrawCount() const { return drawCount_; }

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;

    // Input (sknButton.cpp).
    bool OnMouse(const MouseEvent& event) override;
    void OnPress(int16_t button, int16_t shift, float x, float y);
    void OnRelease(int16_t button, int16_t shift, float x, float y);
    void OnMove(int16_t button, int16_t shift, float x, float y);
    void OnOverTimer();
    void OnClick();
    void OnKeyDown(WPARAM key);
    void OnKeyUp(WPARAM key);
    bool IsMouseInside() const;
    void MoveFocus(bool previous);
    void OnResize();
    void OnShown(bool shown);
    bool OnSetCursor();
    void MarkChanged();

    // Drawing (sknButtonDraw.cpp).
    // Caption state of type 5's pressed look: up place and pressed colour, no relief.
    static constexpr int kCaptionPressedInPlace = 8;
    void Redraw(int state, bool force);
    void DrawLook(int state);
    void DrawLookUp(bool hovering);
    void DrawLookPressed(bool hovering);
    void DrawLookDisabled();
    void DrawGradientLook(int state, bool hovering);
    void DrawCaption(int captionState);
    void DrawDefaultCaption(int captionState);
    void DrawCaptionEffect(const SkinRect& rect);
    void DrawPicture(int pictureState);
    void DrawPictureEffect(const Picture& picture, int d);
    void DrawSilhouette(const Picture& picture, int x, int y, Colour colour, bool darkOnly);
    void DrawFocus();
    Colour Shift(Colour c, int amount, bool proportional = false) const;

    // Layout and palette (sknButtonProps.cpp).
    void BuildPalette();
    Palette PaletteFor(Colour backColor) const;
    void MeasurePicture();
    void LayoutCaption();
    void ApplyFont(const SkinFontSpec& font);
    void SetAccessKey();
    bool IsDefault() const;

    SkinContainer& container_;
    sknButtonEvents events_;
    int dpi_;  // the scale the caption's font is made for

    int buttonType_ = 2;
    std::string caption_;
    bool enabled_ = true;
    SkinFontSpec font_;
    GdiObject<HFONT> fontHandle_;
    int colorScheme_ = 1;
    bool showFocusRect_ = true;
    Colour backColor_ = 0x8000000F;  // button face
    Colour backOver_ = 0x8000000F;
    Colour foreColor_ = 0x80000012;  // button text
    Colour foreOver_ = 0x80000012;
    Colour maskColor_ = 0xC0C0C0;
    int16_t mousePointer_ = 0;
    std::shared_ptr<const Picture> mouseIcon_;
    bool handPointer_ = false;
    bool softBevel_ = false;
    std::shared_ptr<const Picture> pictureNormal_;
    std::shared_ptr<const Picture> pictureOver_;
    int picturePosition_ = 0;
    bool useMaskColor_ = true;
    bool useGreyscale_ = false;
    int specialEffect_ = 0;
    bool checkBoxBehaviour_ = false;
    bool value_ = false;

    Palette palette_;
    CaptionLayout layout_;
    SkinRect focusRect_;
    int picWidth_ = 0;
    int picHeight_ = 0;
    SkinImage image_;
    char accessKey_ = '\0';

    bool isOver_ = false;
    bool hasFocus_ = false;
    bool canDraw_ = true;
    bool leftPressed_ = false;
    bool loading_ = false;
    bool overTimerOn_ = false;
    int lastState_ = kDrawUp;
    std::string lastCaption_;
    int captionState_ = 0;
    int16_t lastMouseButton_ = 0;
    uint8_t lastKeyCode_ = 0;
    int width_ = 0;
    int height_ = 0;
    long drawCount_ = 0;
};

}  // namespace corvale
