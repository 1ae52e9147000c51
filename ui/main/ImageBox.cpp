#include "ui/main/ImageBox.h"

#include "ui/base/Dpi.h"

namespace corvale {

ImageBox::ImageBox(HWND parent, float leftTwips, float topTwips, float widthTwips, float heightTwips)
    : left_(leftTwips), top_(topTwips), width_(widthTwips), height_(heightTwips) {
    SetPainting(Painting::Direct);
    CreateWindowOf({"CorvaleImageBox"}, 0, WS_CHILD | WS_CLIPSIBLINGS,
                   TwipsBoxToPixels(leftTwips, topTwips, widthTwips, heightTwips, WindowDpi(parent)), parent);
}

void ImageBox::SetImage(HBITMAP image) {
    image_ = image;
    if (hWnd()) InvalidateRect(hWnd(), nullptr, FALSE);
}

void ImageBox::SetBackColor(uint32_t colour) {
    backColor_ = colour;
    if (hWnd()) InvalidateRect(hWnd(), nullptr, FALSE);
}

void ImageBox::SetVisible(bool visible) {
    if (hWnd()) ShowWindow(hWnd(), visible ? SW_SHOWNA : SW_HIDE);
}

bool ImageBox::Visible() const { return hWnd() && (GetWindowLongPtrA(hWnd(), GWL_STYLE) & WS_VISIBLE); }

void ImageBox::Move(float leftTwips, float topTwips) {
    left_ = leftTwips;
    top_ = topTwips;
    const PixelBox box = TwipsBoxToPixels(leftTwips, topTwips, width_, height_, Dpi());
    if (hWnd()) SetWindowPos(hWnd(), nullptr, box.x, box.y, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ImageBox::BringToFront() {
    if (hWnd()) SetWindowPos(hWnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool ImageBox::OnMouse(const MouseEvent& mouse) {
    // A picture box keeps the mouse from press to release, as every surface does.
    if (mouse.kind == MouseKind::Down) SetCapture(hWnd());
    if (mouse.kind == MouseKind::Up && !mouse.buttonsStillHeld && GetCapture() == hWnd()) ReleaseCapture();
    RaiseMouse(mouse, MouseDown, MouseMove, MouseUp);
    return true;
}

void ImageBox::Paint(HDC dc, const RECT& client) {
    Brush background(CreateSolidBrush(ResolveColour(backColor_)));
    FillRect(dc, &client, background.Get());
    if (!image_) return;
    MemoryDC source(dc);
    SelectScope select(source.Get(), image_);
    BITMAP info{};
    GetObjectA(image_, sizeof info, &info);
    BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source.Get(), 0, 0, SRCCOPY);
}

}  // namespace corvale
