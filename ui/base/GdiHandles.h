#pragma once
// Owners for GDI handles, icons and menus: each deletes or releases its handle exactly once,
// on the owner template of monitor/Handles.h.

#include <windows.h>

#include "monitor/Handles.h"

namespace corvale {

// Handles that are null when empty and freed by one function of the system.
template <typename H, auto Destroy>
struct FreedBy {
    using Handle = H;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle handle) { return handle != nullptr; }
    static bool Free(Handle handle) { return Destroy(handle) != 0; }
};
template <typename Handle, auto Destroy>
using OwnedHandle = UniqueHandle<FreedBy<Handle, Destroy>>;

// A bitmap, brush, pen, font or region (DeleteObject).
template <typename Handle>
using GdiObject = OwnedHandle<Handle, &DeleteObject>;
using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Font = GdiObject<HFONT>;
using Region = GdiObject<HRGN>;
// An icon or a menu of the window system (DestroyIcon, DestroyMenu).
using Icon = OwnedHandle<HICON, &DestroyIcon>;
using Menu = OwnedHandle<HMENU, &DestroyMenu>;

// A memory device context compatible with the screen (or with a given DC).
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith = nullptr) : dc_(CreateCompatibleDC(compatibleWith)) {}
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    ~MemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// A window's (or the screen's, for nullptr) device context from GetDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint / EndPaint for one WM_PAINT.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(window_, &ps_); }
    HDC Get() const { return dc_; }
    const RECT& Area() const { return ps_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Selects an object into a DC for the scope and restores the previous one.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;
    ~SelectScope() {
        if (previous_) SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace corvale
