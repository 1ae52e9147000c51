#pragma once
// Helpers for tests that create real windows under Windows (or Wine).

#include <windows.h>

#include <functional>
#include <string>

namespace corvale::test {

// Dispatches every queued message of this thread, then returns.
void PumpMessages();
// Dispatches messages for about the given time, so timers can fire.
void PumpMessagesFor(DWORD milliseconds);

// A count that rises with every GDI object the process leaks. On Windows this is the
// process's GDI object count. Wine does not implement that count (GetGuiResources
// returns 0), so there it falls back to the highest GDI handle slot in use: leaked
// objects keep their slots, so a leak of N objects raises it by about N.
long GdiObjectGauge();

// The user's hand: mouse input through the system's input queue. `flags` are SendInput's;
// with MOUSEEVENTF_MOVE the pointer goes to the desktop point (x, y), on any monitor.
void MouseInput(DWORD flags, int x = 0, int y = 0);
// Runs `hand` on another thread while this one serves its windows (a drag's move loop runs
// inside this thread's message handling until the button is released), then lets the
// windows settle.
void WhileUserActs(const std::function<void()>& hand);
// A drag with the left button from one desktop point to another, in ten steps. The first
// motion only starts the drag (Wine's move loop does not count it), so it is tiny.
void DragWithMouse(POINT from, POINT to);
// The pointer's first move over a window, as the window is told it (a tip made on first hover
// is made by it), without moving the real pointer.
void PointerMovesOver(HWND window);

// A top-level window to hold the controls under test; destroyed with the object.
class TestHostWindow {
public:
    TestHostWindow(int width, int height, const char* title = "Corvale test");
    TestHostWindow(const TestHostWindow&) = delete;
    TestHostWindow& operator=(const TestHostWindow&) = delete;
    ~TestHostWindow();
    HWND Handle() const { return window_; }

private:
    HWND window_ = nullptr;
};

// Captures a window's client area (as drawn on screen) and writes it to a PNG file.
bool SaveWindowPng(HWND window, const std::string& path);
// Captures an area of the screen (several windows together) likewise.
bool SaveScreenPng(const RECT& area, const std::string& path);
// Reads one pixel of a window's client area as drawn on screen (0x00BBGGRR).
COLORREF WindowPixel(HWND window, int x, int y);

// Runs a script from inside the next modal loop of this thread (a dialog's or a menu's),
// through a thread timer that the loop dispatches; with `ready`, not before it holds (a
// pump of the program's own may dispatch the timer first). One script at a time.
class ModalScript {
public:
    explicit ModalScript(std::function<void()> body, std::function<bool()> ready = nullptr);
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

private:
    static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD);
};

}  // namespace corvale::test
