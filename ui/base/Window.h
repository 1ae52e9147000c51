#pragma once
// The base of every window class of the program. A class is registered once, on the
// first window made of it; the object is bound to its window from WM_NCCREATE on, so it
// sees every message, and is unbound at WM_NCDESTROY, after which it holds no handle.
// WM_PAINT and WM_PRINTCLIENT take one path, Paint, drawn off screen when buffered; mouse
// messages reach a class once decoded, as OnMouse.
//
// Every window has a scale (ui/base/Dpi.h): a top-level window keeps the one a notice of a
// new scale (WM_DPICHANGED) gives before its class sees the notice; controls take their
// top-level window's.
//
// Windows of classes the program does not register (the common controls) are owned by
// SystemWindow; dialogs have their own base in Dialog.h.

#include <windows.h>

#include <functional>

#include "ui/base/ControlInput.h"
#include "ui/base/Twips.h"

namespace corvale {

class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hWnd() const { return window_; }
    // The window's scale, dots per inch (the system's while there is no window).
    int Dpi() const;
    // Twips of this window in its pixels, and back.
    int ToPixels(double twips) const { return TwipsToPixels(twips, Dpi()); }
    float ToTwips(double pixels) const { return static_cast<float>(PixelsToTwips(pixels, Dpi())); }

    // The object of one of this program's windows; null for any other window.
    static Window* Of(HWND window);
    // `watch` is told of the pointer's next move over the window, once, before the class sees
    // it: what waits for the user's first look (a tip) needs no hook of its own. One watcher
    // at a time, known by its key; a later one takes the place of an earlier.
    using PointerWatch = std::function<void(const MSG& move)>;
    void WatchPointerOnce(const void* key, PointerWatch watch);
    void StopWatchingPointer(const void* key);

    struct ClassSpec {
        const char* name = nullptr;
        UINT style = CS_DBLCLKS;
        HCURSOR cursor = nullptr;  // the arrow when none is given
        HICON icon = nullptr;
        HICON smallIcon = nullptr;
    };
    using Placement = PixelBox;  // pixels
    enum class Painting {
        Default,   // WM_PAINT and the background go to the platform
        Direct,    // Paint draws straight onto the window
        Buffered,  // Paint draws into an off-screen bitmap that is copied in one go
    };

protected:
    Window() = default;

    // Makes the window; to be called from the most derived constructor, once the object is
    // ready for messages. False when the class or the window could not be made.
    bool CreateWindowOf(const ClassSpec& windowClass, DWORD exStyle, DWORD style, const Placement& placement,
                        HWND parent, HMENU menuOrId = nullptr, const char* text = "");
    // Destroys the window now; classes that handle WM_DESTROY call this from their own
    // destructor, while their part of the object still exists.
    void DestroyOwnWindow();
    void SetPainting(Painting painting) { painting_ = painting; }

    // The class's message switch; whatever it does not handle goes to Default.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The class's mouse events, decoded here once for every class, in twips of the window at
    // MouseDpi(). True when handled (the message then ends there); false lets the message go
    // on to OnMessage.
    virtual bool OnMouse(const MouseEvent& /*event*/) { return false; }
    // The scale the class lays its twips out at: the window's own, unless it keeps another.
    virtual int MouseDpi() const { return Dpi(); }
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // Draws the client area (0, 0)-(width, height) for WM_PAINT and WM_PRINTCLIENT alike.
    virtual void Paint(HDC dc, const RECT& client) {}
    // The window has gone; hWnd() is already null.
    virtual void OnWindowGone() {}

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void PaintInto(HDC dc);

    HWND window_ = nullptr;
    Painting painting_ = Painting::Default;
    const void* pointerWatchKey_ = nullptr;
    PointerWatch pointerWatch_;
};

// A window of a class the platform or the common controls provide, destroyed with this
// object unless something else destroyed it first.
class SystemWindow {
public:
    SystemWindow() = default;
    SystemWindow(const SystemWindow&) = delete;
    SystemWindow& operator=(const SystemWindow&) = delete;
    ~SystemWindow() { Reset(); }

    bool Create(DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y, int width,
                int height, HWND parent, HMENU menuOrId = nullptr);
    // Destroys the window, if it still exists.
    void Reset();
    HWND Get() const { return window_; }
    explicit operator bool() const { return window_ != nullptr; }

private:
    HWND window_ = nullptr;
    char className_[64] = {};
};

}  // namespace corvale
