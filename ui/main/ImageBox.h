#pragma once
// A picture box of the main window: a child window that shows one bitmap (at the window's
// scale already) or a plain background colour, and raises its mouse events in twips of
// itself.

#include <windows.h>

#include <cstdint>

#include "ui/base/ControlInput.h"
#include "ui/base/GdiHandles.h"
#include "ui/base/Window.h"

namespace corvale {

class ImageBox : public Window {
public:
    // Geometry in twips of the parent; the box starts hidden.
    ImageBox(HWND parent, float leftTwips, float topTwips, float widthTwips, float heightTwips);

    // The box shows this bitmap at its top-left corner; it stays the caller's.
    void SetImage(HBITMAP image);
    void SetBackColor(uint32_t colour);
    uint32_t BackColor() const { return backColor_; }
    void SetVisible(bool visible);
    bool Visible() const;
    void Move(float leftTwips, float topTwips);
    // Places the box again at its window's scale, which has changed.
    void Rescale() { Move(left_, top_); }
    float Left() const { return left_; }
    float Top() const { return top_; }
    float Width() const { return width_; }
    float Height() const { return height_; }
    void BringToFront();

    MouseHandler MouseDown;
    MouseHandler MouseMove;
    MouseHandler MouseUp;

private:
    bool OnMouse(const MouseEvent& mouse) override;
    void Paint(HDC dc, const RECT& client) override;

    float left_, top_, width_, height_;
    HBITMAP image_ = nullptr;
    uint32_t backColor_ = 0;
};

}  // namespace corvale
