#pragma once
// The program's artwork from its own resources, at the scale of the window that shows it.
// Every picture is drawn for 96 dots per inch and, at twice the size, for 192; from 144 on the
// larger one is the source, so nothing is blurry at 150 % or 200 %. Either is scaled smoothly
// to the size the scale needs.

#include <windows.h>

#include <cstdint>
#include <span>

#include "ui/base/GdiHandles.h"
#include "ui/base/Twips.h"

namespace corvale {

inline constexpr int kLargeArtworkDpi = 192;
inline constexpr int kLargeArtworkFromDpi = 144;

// The scale of the source a picture is taken from at `dpi`: 96 or kLargeArtworkDpi. A
// resource drawn for 192 has the identifier of the one drawn for 96 plus IDB_LARGE_ARTWORK.
inline int ArtworkDrawnForDpi(int dpi) { return dpi >= kLargeArtworkFromDpi ? kLargeArtworkDpi : kBaseDpi; }
// The resource of a picture's source at `dpi`.
int ArtworkResourceFor(int resourceId, int dpi);

// A BITMAP resource of this program at `dpi`; empty when it is missing.
Bitmap LoadArtwork(int resourceId, int dpi);
// A bitmap drawn for `drawnForDpi`, scaled to `dpi` (a copy when the two are the same).
Bitmap ScaleArtwork(HBITMAP bitmap, int drawnForDpi, int dpi);
// The bytes of an RCDATA resource of this program (empty when missing).
std::span<const uint8_t> ResourceBytes(int resourceId);
// An ICON resource at the given size in pixels (DestroyIcon is the caller's).
HICON LoadProgramIcon(int resourceId, int size);

}  // namespace corvale
