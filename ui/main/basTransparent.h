#pragma once
// The main window's translucency, through the platform's layered windows.

#include <windows.h>

#include <cstdint>

namespace corvale {

// 0 done, 1 the alpha is outside 0..255 and nothing changed, 2 a platform call failed.
int32_t SetWindowAlpha(HWND hWnd, int16_t Alpha);
// 0 done (the window is no longer layered), 2 a platform call failed.
int32_t ClearWindowAlpha(HWND hWnd);

}  // namespace corvale
