#include "ui/tiles/cDIBSection.h"

#include "ui/widgets/GdiHandles.h"
#include "ui/widgets/Picture.h"

namespace corvale {

bool cDIBSection::Create(int32_t width, int32_t height) {
    ClearUp();
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return false;
    if (!CreateDIB(dc_, width, height, dib_)) {
        ClearUp();  // deletes the context; there is no bitmap to deselect
        return false;
    }
    previous_ = SelectObject(dc_, dib_);
    return true;
}

bool cDIBSection::CreateDIB(HDC dc, int32_t width, int32_t height, HBITMAP& dib) {
    header_ = {};
    header_.biSize = sizeof header_;
    header_.biWidth = width;
    header_.biHeight = height;
    header_.biPlanes = 1;
    header_.biBitCount = 24;
    header_.biCompression = BI_RGB;
    header_.biSizeImage = static_cast<DWORD>(BytesPerScanLine()) * static_cast<DWORD>(height > 0 ? height : 0);
    BITMAPINFO info{};
    info.bmiHeader = header_;
    void* bits = nullptr;
    dib = width > 0 && height > 0 ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    bits_ = dib ? static_cast<uint8_t*>(bits) : nullptr;
    return dib != nullptr;
}

bool cDIBSection::CreateFromPicture(const Picture& picture) {
    HBITMAP source = picture.BitmapHandle();
    if (!source) {
        ClearUp();
        return false;
    }
    BITMAP info{};
    if (!GetObjectA(source, sizeof info, &info) || !Create(info.bmWidth, info.bmHeight)) {
        ClearUp();
        return false;
    }
    WindowDC desktop(GetDesktopWindow());
    // A section that cannot be filled stays created, only unfilled.
    if (!desktop.Get()) return true;
    MemoryDC memory(desktop.Get());
    if (!memory) return true;
    SelectScope select(memory.Get(), source);
    LoadPictureBlt(memory.Get(), 0, 0, -1, -1, SRCCOPY);
    return true;
}

void cDIBSection::LoadPictureBlt(HDC source, int32_t srcLeft, int32_t srcTop, int32_t srcWidth, int32_t srcHeight,
                                 DWORD rop) {
    if (!dc_ || !dib_) return;
    if (srcWidth < 0) srcWidth = Width();
    if (srcHeight < 0) srcHeight = Height();
    BitBlt(dc_, 0, 0, srcWidth, srcHeight, source, srcLeft, srcTop, rop);
}

void cDIBSection::PaintPicture(HDC target, int32_t left, int32_t top, int32_t width, int32_t height, int32_t srcLeft,
                               int32_t srcTop, DWORD rop) const {
    if (!dc_ || !dib_) return;
    if (width < 0) width = Width();
    if (height < 0) height = Height();
    BitBlt(target, left, top, width, height, dc_, srcLeft, srcTop, rop);
}

void cDIBSection::ClearUp() {
    if (dc_) {
        if (dib_) {
            SelectObject(dc_, previous_);
            DeleteObject(dib_);
        }
        DeleteDC(dc_);
    }
    dc_ = nullptr;
    dib_ = nullptr;
    previous_ = nullptr;
    bits_ = nullptr;
    header_ = {};
}

PixelGrid cDIBSection::Pixels() const {
    if (!bits_) return {};
    GdiFlush();
    return {bits_, Width(), Height(), BytesPerScanLine()};
}

}  // namespace corvale
