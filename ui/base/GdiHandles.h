#pragma once
// Owners for GDI handles, and for kernel and registry handles: each deletes, releases or
// closes its handle exactly once.

#include <windows.h>

#include <utility>

namespace corvale {

// A handle owned by this object and freed exactly once, on destruction, Reset or Close;
// movable, never copied. `Traits` names the handle type, its empty value, what counts as a
// handle and how it is freed.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Close(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return Traits::Valid(handle_); }
    // Frees the handle held and takes `handle` in its place.
    void Reset(Handle handle = Traits::Empty()) {
        Close();
        handle_ = handle;
    }
    // Gives up ownership, for handing the handle to the system (SetWindowRgn owns its region).
    Handle Release() { return std::exchange(handle_, Traits::Empty()); }
    // Frees the handle now; false when the system reported that as failed (a file whose
    // last writes could not be completed, say).
    bool Close() {
        const Handle handle = Release();
        return !Traits::Valid(handle) || Traits::Free(handle);
    }
    // Where a function that hands out a new handle puts it; the one held is freed first.
    Handle* Receive() {
        Close();
        return &handle_;
    }

private:
    Handle handle_ = Traits::Empty();
};

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

// A kernel handle: a file, an event, a mutex, a mapping, a process.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    // Some functions fail with null, others (CreateFile) with INVALID_HANDLE_VALUE.
    static bool Valid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static bool Free(Handle handle) { return CloseHandle(handle) != FALSE; }
};
using KernelHandle = UniqueHandle<KernelHandleTraits>;

// A key this program opened or created; never one of the predefined roots.
struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle handle) { return handle != nullptr; }
    static bool Free(Handle handle) { return RegCloseKey(handle) == ERROR_SUCCESS; }
};
using RegistryKey = UniqueHandle<RegistryKeyTraits>;

}  // namespace corvale
