#pragma once
// A decoded picture (a bitmap from JPEG/BMP/GIF data, or an icon) owned by this object.
// Decoding goes through the platform's OLE picture loader.

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "ui/base/GdiHandles.h"

namespace corvale {

class Picture {
public:
    Picture() = default;
    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    ~Picture();

    // An empty picture when the data cannot be decoded.
    static Picture FromBytes(std::span<const uint8_t> data);
    // Takes ownership of a bitmap or icon handle.
    static Picture FromBitmap(HBITMAP bitmap);
    static Picture FromIcon(HICON icon);

    bool Empty() const { return !bitmap_ && !icon_; }
    bool IsIcon() const { return icon_ != nullptr; }
    HBITMAP BitmapHandle() const { return bitmap_.Get(); }
    HICON IconHandle() const { return icon_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The encoded bytes this picture came from, kept so a design can be saved again.
    const std::vector<uint8_t>& Source() const { return source_; }

    // Draws the whole picture at (x, y) in its own size.
    void Draw(HDC dc, int x, int y) const;

private:
    Bitmap bitmap_;
    HICON icon_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> source_;
};

}  // namespace corvale
