#include "ui/base/Window.h"

#include <algorithm>

#include "ui/base/Dpi.h"
#include "ui/base/GdiHandles.h"
#include "monitor/WideText.h"

namespace corvale {
namespace {

bool RegisterOnce(const char* name, UINT style, HCURSOR cursor, HICON icon, HICON smallIcon, WNDPROC procedure) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, name, &existing)) return true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = cursor ? cursor : LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The back buffer of buffered painting. Windows are painted one at a time on the
// user-interface thread, so one buffer as large as the largest client painted so far serves
// them all, instead of a bitmap made and freed at every paint. A paint inside a paint (a
// child drawing its parent's background) finds it taken and makes one of its own.
class SharedBackBuffer {
public:
    // The buffer's context with at least width x height pixels, or null while it is taken.
    // It is made like the screen, whatever context a paint goes to (a printed client's may
    // be any memory context), since it serves every window for the program's whole run.
    HDC Take(int width, int height) {
        if (taken_ || !dc_) return nullptr;
        if (width > size_.cx || height > size_.cy) {
            const SIZE wanted{std::max<LONG>(width, size_.cx), std::max<LONG>(height, size_.cy)};
            const WindowDC screen(nullptr);
            Bitmap bigger(CreateCompatibleBitmap(screen.Get(), wanted.cx, wanted.cy));
            if (!bigger) return nullptr;
            HGDIOBJ previous = SelectObject(dc_.Get(), bigger.Get());
            if (!previous) return nullptr;
            if (!original_) original_ = previous;
            bitmap_ = std::move(bigger);  // the smaller one is out of the context by now
            size_ = wanted;
        }
        taken_ = true;
        return dc_.Get();
    }
    void Give() { taken_ = false; }
    ~SharedBackBuffer() {
        if (original_) SelectObject(dc_.Get(), original_);
    }

private:
    MemoryDC dc_;
    Bitmap bitmap_;
    HGDIOBJ original_ = nullptr;
    SIZE size_{0, 0};
    bool taken_ = false;
};

SharedBackBuffer& BackBuffer() {
    static SharedBackBuffer buffer;
    return buffer;
}

}  // namespace

Window::~Window() {
    // The derived part is gone: the window's last messages must not reach it.
    if (window_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        HWND window = window_;
        window_ = nullptr;
        DestroyWindow(window);
    }
}

bool Window::CreateWindowOf(const ClassSpec& windowClass, DWORD exStyle, DWORD style, const Placement& placement,
                            HWND parent, HMENU menuOrId, const char* text) {
    if (window_ || !windowClass.name) return false;
    if (!RegisterOnce(windowClass.name, windowClass.style, windowClass.cursor, windowClass.icon,
                      windowClass.smallIcon, &Window::Procedure))
        return false;
    CreateWindowExA(exStyle, windowClass.name, text ? text : "", style, placement.x, placement.y, placement.width,
                    placement.height, parent, menuOrId, GetModuleHandleA(nullptr), this);
    return window_ != nullptr;
}

int Window::Dpi() const { return WindowDpi(window_); }

Window* Window::Of(HWND window) {
    // The class's procedure, not the window's: a common control may have subclassed it.
    DWORD process = 0;
    if (!window || !GetWindowThreadProcessId(window, &process) || process != GetCurrentProcessId() ||
        GetClassLongPtrA(window, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&Window::Procedure))
        return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void Window::WatchPointerOnce(const void* key, PointerWatch watch) {
    pointerWatchKey_ = key;
    pointerWatch_ = std::move(watch);
}

void Window::StopWatchingPointer(const void* key) {
    if (key != pointerWatchKey_) return;
    pointerWatchKey_ = nullptr;
    pointerWatch_ = nullptr;
}

void Window::DestroyOwnWindow() {
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self) {
            self->window_ = window;
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        LRESULT result = self->OnMessage(message, wParam, lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        ForgetWindowDpi(window);
        self->window_ = nullptr;
        self->pointerWatchKey_ = nullptr;
        self->pointerWatch_ = nullptr;
        self->OnWindowGone();
        return result;
    }
    return self->Dispatch(message, wParam, lParam);
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE && pointerWatch_) {
        // Taken out first: the watcher may watch again, or stop.
        PointerWatch watch = std::move(pointerWatch_);
        pointerWatch_ = nullptr;
        pointerWatchKey_ = nullptr;
        MSG move{window_, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
        GetCursorPos(&move.pt);
        watch(move);
    }
    if (message == WM_DPICHANGED && !(GetWindowLongPtrA(window_, GWL_STYLE) & WS_CHILD))
        KeepWindowDpi(window_, DpiOfNotice(wParam));
    MouseEvent mouse;
    if (DecodeMouse(message, wParam, lParam, MouseDpi(), mouse) && OnMouse(mouse)) return 0;
    if (painting_ != Painting::Default) {
        switch (message) {
        case WM_ERASEBKGND:
            return 1;  // Paint covers every pixel
        case WM_PAINT: {
            PaintScope paint(window_);
            PaintInto(paint.Get());
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintInto(reinterpret_cast<HDC>(wParam));
            return 0;
        default:
            break;
        }
    }
    return OnMessage(message, wParam, lParam);
}

void Window::PaintInto(HDC dc) {
    if (!dc) return;
    RECT client{};
    GetClientRect(window_, &client);
    if (painting_ == Painting::Direct) {
        Paint(dc, client);
        return;
    }
    if (client.right <= 0 || client.bottom <= 0) return;
    if (HDC shared = BackBuffer().Take(client.right, client.bottom)) {
        // Each window paints on a context as fresh as its own would be.
        const int state = SaveDC(shared);
        Paint(shared, client);
        RestoreDC(shared, state);
        BitBlt(dc, 0, 0, client.right, client.bottom, shared, 0, 0, SRCCOPY);
        BackBuffer().Give();
        return;
    }
    MemoryDC back(dc);
    Bitmap buffer(CreateCompatibleBitmap(dc, client.right, client.bottom));
    if (!back || !buffer) return;
    SelectScope select(back.Get(), buffer.Get());
    Paint(back.Get(), client);
    BitBlt(dc, 0, 0, client.right, client.bottom, back.Get(), 0, 0, SRCCOPY);
}

LRESULT Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) { return Default(message, wParam, lParam); }

LRESULT Window::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window_, message, wParam, lParam);
}

bool SystemWindow::Create(DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y,
                          int width, int height, HWND parent, HMENU menuOrId) {
    Reset();
    // A wide window keeps its text in UTF-16 (an edit box holds what is typed, in any script).
    window_ = CreateWindowExW(exStyle, Widen(className).c_str(), Widen(text ? text : "").c_str(), style, x, y, width,
                              height, parent, menuOrId, GetModuleHandleW(nullptr), nullptr);
    if (window_) GetClassNameA(window_, className_, sizeof className_);
    return window_ != nullptr;
}

void SystemWindow::Reset() {
    // The parent or owner may have taken the window down with itself already, and the
    // handle may since name another window: destroy it only while it is still ours.
    if (window_ && IsWindow(window_) && GetWindowThreadProcessId(window_, nullptr) == GetCurrentThreadId()) {
        char current[sizeof className_] = {};
        GetClassNameA(window_, current, sizeof current);
        if (lstrcmpiA(current, className_) == 0) DestroyWindow(window_);
    }
    window_ = nullptr;
}

}  // namespace corvale
