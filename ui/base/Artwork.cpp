#include "ui/base/Artwork.h"

#include "ui/base/DibSurface.h"
#include "ui/base/Twips.h"

namespace corvale {

Bitmap ScaleToScreen(HBITMAP bitmap) {
    const SIZE size = BitmapSize(bitmap);
    const int dpi = ScreenDpi();
    return ScaleBitmapSmooth(bitmap, MulDiv(size.cx, dpi, 96), MulDiv(size.cy, dpi, 96));
}

Bitmap LoadScreenBitmap(int resourceId) {
    Bitmap drawn(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!drawn || ScreenDpi() == 96) return drawn;
    Bitmap scaled = ScaleToScreen(drawn.Get());
    return scaled ? std::move(scaled) : std::move(drawn);
}

std::span<const uint8_t> ResourceBytes(int resourceId) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const uint8_t*>(data), SizeofResource(module, found)};
}

HICON LoadProgramIcon(int resourceId, int size) {
    return static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId), IMAGE_ICON, size, size, 0));
}

}  // namespace corvale
