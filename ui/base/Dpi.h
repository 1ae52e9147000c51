#pragma once
// The scale of each window. Windows 8.1 and later give every monitor a scale of its own and
// tell a window that reaches a monitor of another scale (WM_DPICHANGED); Windows 7 has one
// scale for the whole system. The calls of the newer systems are looked up at run time, so
// the program still starts where they are missing, and keeps the system's scale there.

#include <windows.h>

namespace corvale {

// The system's scale, the primary screen's as the process started (96 on a standard screen).
int SystemDpi();
// The scale a window is shown at: its top-level window's, as that window was last told or
// as the system reports it. A control always has its top-level window's scale.
int WindowDpi(HWND window);
// The scale of a monitor (the system's where monitors have none of their own).
int MonitorDpi(HMONITOR monitor);

// A top-level window told of a new scale keeps it here: WindowDpi reports it from then on,
// for the window and its controls, until the window goes (ForgetWindowDpi).
void KeepWindowDpi(HWND topLevel, int dpi);
void ForgetWindowDpi(HWND topLevel);
// The new scale a WM_DPICHANGED carries.
inline int DpiOfNotice(WPARAM wParam) { return LOWORD(wParam); }

// AdjustWindowRectEx for a window at `dpi`.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);
// The system's font of tooltips at `dpi`; false when the system does not tell it.
bool TooltipLogFontForDpi(int dpi, LOGFONTW& font);
// Keeps the dialog manager from rescaling a dialog by its own rules on a new scale: the
// dialog lays itself out again from its twips.
void TakeOverDialogScaling(HWND dialog);

}  // namespace corvale
