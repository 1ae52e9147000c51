#pragma once
// Owners for kernel and registry handles, and the owner template every handle owner of the
// program is made from: each closes its handle exactly once.

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
