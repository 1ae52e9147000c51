#pragma once
// One 24-bit device-independent bitmap whose pixel bytes the program addresses directly,
// selected into its own memory device context so GDI can draw from and into it.

#include <windows.h>

#include <cstdint>

#include "ui/base/GdiHandles.h"
#include "ui/tiles/cColourise.h"

namespace corvale {

class Picture;

class cDIBSection {
public:
    cDIBSection() = default;
    cDIBSection(const cDIBSection&) = delete;
    cDIBSection& operator=(const cDIBSection&) = delete;
    ~cDIBSection() { ClearUp(); }

    // Replaces whatever the section held with a new bitmap; false leaves it empty.
    bool Create(int32_t width, int32_t height);
    // A section of the picture's size holding a copy of its pixels. False when the
    // picture holds no bitmap or the section cannot be made.
    bool CreateFromPicture(const Picture& picture);
    // Copies from `source` at (left, top) into the section at (0, 0); a negative width or
    // height means the section's own.
    void LoadPictureBlt(HDC source, int32_t srcLeft, int32_t srcTop, int32_t srcWidth = -1,
                        int32_t srcHeight = -1, DWORD rop = SRCCOPY);
    // Copies the section from (srcLeft, srcTop) onto `target` at (left, top).
    void PaintPicture(HDC target, int32_t left = 0, int32_t top = 0, int32_t width = -1, int32_t height = -1,
                      int32_t srcLeft = 0, int32_t srcTop = 0, DWORD rop = SRCCOPY) const;
    void ClearUp();

    int32_t BytesPerScanLine() const { return corvale::BytesPerScanLine(header_.biWidth); }
    int32_t Width() const { return header_.biWidth; }
    int32_t Height() const { return header_.biHeight; }
    uint8_t* DIBSectionBitsPtr() const { return bits_; }
    HDC hdc() const { return dc_; }
    HBITMAP hDib() const { return dib_.Get(); }

    // The pixels for the colouriser; GDI's pending drawing is flushed first so the bytes
    // are current.
    PixelGrid Pixels() const;

private:
    Bitmap dib_;
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint8_t* bits_ = nullptr;
    BITMAPINFOHEADER header_{};
};

}  // namespace corvale
