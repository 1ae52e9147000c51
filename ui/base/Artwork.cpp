#include "ui/base/Artwork.h"

#include "resources/app/ResourceIds.h"
#include "ui/base/DibSurface.h"
#include "ui/base/Twips.h"

namespace corvale {

int ArtworkResourceFor(int resourceId, int dpi) {
    return ArtworkDrawnForDpi(dpi) == kLargeArtworkDpi ? resourceId + IDB_LARGE_ARTWORK : resourceId;
}

Bitmap ScaleArtwork(HBITMAP bitmap, int drawnForDpi, int dpi) {
    const SIZE size = BitmapSize(bitmap);
    return ScaleBitmapSmooth(bitmap, MulDiv(size.cx, dpi, drawnForDpi), MulDiv(size.cy, dpi, drawnForDpi));
}

Bitmap LoadArtwork(int resourceId, int dpi) {
    Bitmap drawn(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                 MAKEINTRESOURCEA(ArtworkResourceFor(resourceId, dpi)), IMAGE_BITMAP,
                                                 0, 0, LR_CREATEDIBSECTION)));
    const int drawnFor = ArtworkDrawnForDpi(dpi);
    if (!drawn || drawnFor == dpi) return drawn;
    Bitmap scaled = ScaleArtwork(drawn.Get(), drawnFor, dpi);
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
