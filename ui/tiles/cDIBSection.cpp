#include "ui/tiles/cDIBSection.h"

#include "ui/base/DibSurface.h"
#include "ui/base/GdiHandles.h"
#include "ui/base/Picture.h"

namespace corvale {

bool cDIBSection::Create(int32_t width, int32_t height) {
    ClearUp();
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return false;
    DibBits dib = CreateDib(dc_, width, height, 24, false);
    if (!dib) {
        ClearUp();  // deletes the context; there is no bitmap to deselect
        return false;
    }
    dib_ = std::move(dib.bitmap);
    bits_ = static_cast<uint8_t*>(dib.bits);
    header_ = {};
    header_.biSize = sizeof header_;
    header_.biWidth = width;
    header_.biHeight = height;
    header_.biPlanes = 1;
    header_.biBitCount = 24;
    header_.biCompression = BI_RGB;
    header_.biSizeImage = static_cast<DWORD>(BytesPerScanLine()) * static_cast<DWORD>(height);
    previous_ = SelectObject(dc_, dib_.Get());
    return true;
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
        if (dib_) SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    dib_.Reset();
    dc_ = nullptr;
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
