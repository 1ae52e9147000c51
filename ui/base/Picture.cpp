#include "ui/base/Picture.h"

#include <objbase.h>
#include <ole2.h>
#include <olectl.h>

#include <utility>

#include "ui/base/DibSurface.h"

namespace corvale {
namespace {

// OLE stays initialised for the life of the thread that first decodes a picture.
struct OleThreadScope {
    OleThreadScope() { ok = SUCCEEDED(OleInitialize(nullptr)); }
    ~OleThreadScope() {
        if (ok) OleUninitialize();
    }
    bool ok = false;
};

void EnsureOle() { thread_local OleThreadScope scope; }

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return {0, 0};
    SIZE size = BitmapSize(info.hbmMask);
    if (!info.hbmColor) size.cy /= 2;  // monochrome icons stack AND and XOR masks
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return size;
}

}  // namespace

Picture::Picture(Picture&& other) noexcept
    : bitmap_(std::move(other.bitmap_)),
      icon_(std::exchange(other.icon_, nullptr)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      source_(std::move(other.source_)) {}

Picture& Picture::operator=(Picture&& other) noexcept {
    if (this != &other) {
        if (icon_) DestroyIcon(icon_);
        bitmap_ = std::move(other.bitmap_);
        icon_ = std::exchange(other.icon_, nullptr);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        source_ = std::move(other.source_);
    }
    return *this;
}

Picture::~Picture() {
    if (icon_) DestroyIcon(icon_);
}

Picture Picture::FromBitmap(HBITMAP bitmap) {
    Picture p;
    if (!bitmap) return p;
    SIZE size = BitmapSize(bitmap);
    p.bitmap_.Reset(bitmap);
    p.width_ = size.cx;
    p.height_ = size.cy;
    return p;
}

Picture Picture::FromIcon(HICON icon) {
    Picture p;
    if (!icon) return p;
    SIZE size = IconSize(icon);
    p.icon_ = icon;
    p.width_ = size.cx;
    p.height_ = size.cy;
    return p;
}

Picture Picture::FromBytes(std::span<const uint8_t> data) {
    if (data.empty()) return {};
    EnsureOle();

    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, data.size());
    if (!memory) return {};
    if (void* target = GlobalLock(memory)) {
        CopyMemory(target, data.data(), data.size());
        GlobalUnlock(memory);
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return {};
    }
    IPicture* decoded = nullptr;
    HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(data.size()), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(&decoded));
    stream->Release();
    if (FAILED(hr) || !decoded) return {};

    Picture result;
    short type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    decoded->get_Type(&type);
    decoded->get_Handle(&handle);
    HANDLE native = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(handle));
    // Copies, so that the picture owns handles independent of the OLE object.
    if (type == PICTYPE_BITMAP && native)
        result = FromBitmap(static_cast<HBITMAP>(CopyImage(native, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    else if (type == PICTYPE_ICON && native)
        result = FromIcon(CopyIcon(static_cast<HICON>(native)));
    decoded->Release();
    // The decoder the picture object loaded is let go at once: a program that decodes its
    // pictures at start would otherwise keep a whole codec library resident.
    CoFreeUnusedLibrariesEx(0, 0);
    if (!result.Empty()) result.source_.assign(data.begin(), data.end());
    return result;
}

void Picture::Draw(HDC dc, int x, int y) const {
    if (icon_) {
        DrawIconEx(dc, x, y, icon_, width_, height_, 0, nullptr, DI_NORMAL);
    } else if (bitmap_) {
        MemoryDC source(dc);
        SelectScope select(source.Get(), bitmap_.Get());
        BitBlt(dc, x, y, width_, height_, source.Get(), 0, 0, SRCCOPY);
    }
}

}  // namespace corvale
