#pragma once
// The program's artwork from its own resources, at the screen's resolution: drawn for 96
// dots per inch and scaled smoothly to any other.

#include <windows.h>

#include <cstdint>
#include <span>

#include "ui/base/GdiHandles.h"

namespace corvale {

// A BITMAP resource of this program, scaled to the screen; empty when it is missing.
Bitmap LoadScreenBitmap(int resourceId);
// The bitmap scaled from 96 dots per inch to the screen (a copy at 96 as well).
Bitmap ScaleToScreen(HBITMAP bitmap);
// The bytes of an RCDATA resource of this program (empty when missing).
std::span<const uint8_t> ResourceBytes(int resourceId);
// An ICON resource at the given size in pixels (DestroyIcon is the caller's).
HICON LoadProgramIcon(int resourceId, int size);

}  // namespace corvale
