#include "WinTestSupport.h"

#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

#include "PngWriter.h"

namespace corvale::test {

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void PumpMessagesFor(DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        PumpMessages();
        Sleep(1);
    } while (GetTickCount() - start < milliseconds);
    PumpMessages();
}

long GdiObjectGauge() {
    SetLastError(0);
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count != 0) return static_cast<long>(count);
    // Wine: probe the handle table by creating a handful of objects and reading their slots.
    long highest = 0;
    HGDIOBJ probes[16];
    for (auto& probe : probes) {
        probe = CreateSolidBrush(RGB(1, 2, 3));
        long slot = static_cast<long>(reinterpret_cast<uintptr_t>(probe) & 0xFFFF);
        if (slot > highest) highest = slot;
    }
    for (auto probe : probes) DeleteObject(probe);
    return highest;
}

void PointerMovesOver(HWND window) { SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2)); }

void MouseInput(DWORD flags, int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_MOVE) {
        // Absolute coordinates run 0..65535 over the whole desktop.
        in.mi.dx = MulDiv(x - GetSystemMetrics(SM_XVIRTUALSCREEN), 65536, GetSystemMetrics(SM_CXVIRTUALSCREEN)) + 1;
        in.mi.dy = MulDiv(y - GetSystemMetrics(SM_YVIRTUALSCREEN), 65536, GetSystemMetrics(SM_CYVIRTUALSCREEN)) + 1;
        in.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    }
    SendInput(1, &in, sizeof in);
    Sleep(30);
}

void WhileUserActs(const std::function<void()>& hand) {
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread user([&] {
        hand();
        SetEvent(done);
    });
    while (MsgWaitForMultipleObjects(1, &done, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) PumpMessages();
    user.join();
    CloseHandle(done);
    PumpMessagesFor(100);
}

void DragWithMouse(POINT from, POINT to) {
    WhileUserActs([=] {
        MouseInput(MOUSEEVENTF_MOVE, from.x, from.y);
        MouseInput(MOUSEEVENTF_LEFTDOWN);
        MouseInput(MOUSEEVENTF_MOVE, from.x + 1, from.y);
        for (int step = 1; step <= 10; ++step)
            MouseInput(MOUSEEVENTF_MOVE, from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10);
        MouseInput(MOUSEEVENTF_LEFTUP);
    });
}

namespace {
const char kHostClass[] = "CorvaleTestHost";

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

TestHostWindow::TestHostWindow(int width, int height, const char* title) {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kHostClass;
        return RegisterClassA(&wc) != 0;
    }();
    (void)registered;
    RECT r{0, 0, width, height};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    window_ = CreateWindowExA(0, kHostClass, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40,
                              r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr),
                              nullptr);
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    UpdateWindow(window_);
    PumpMessages();
}

TestHostWindow::~TestHostWindow() {
    if (window_) DestroyWindow(window_);
    PumpMessages();
}

namespace {

// The area (left, top, width, height) of `window`'s DC (the screen's for null) as a PNG file.
bool SaveAreaPng(HWND window, int left, int top, int width, int height, const std::string& path) {
    if (width <= 0 || height <= 0) return false;
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, width, height, windowDc, left, top, SRCCOPY);
    GdiFlush();
    std::vector<uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    const uint8_t* src = static_cast<const uint8_t*>(bits);
    for (int i = 0; i < width * height; ++i) {
        rgb[i * 3 + 0] = src[i * 4 + 2];
        rgb[i * 3 + 1] = src[i * 4 + 1];
        rgb[i * 3 + 2] = src[i * 4 + 0];
    }
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    // The first screenshot of a fresh build makes the folder.
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    return WritePng(path, width, height, rgb);
}

}  // namespace

bool SaveWindowPng(HWND window, const std::string& path) {
    RECT client{};
    GetClientRect(window, &client);
    return SaveAreaPng(window, 0, 0, client.right, client.bottom, path);
}

bool SaveScreenPng(const RECT& area, const std::string& path) {
    return SaveAreaPng(nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top, path);
}

COLORREF WindowPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

namespace {
std::function<void()>& ModalScriptBody() {
    static std::function<void()> body;
    return body;
}
std::function<bool()>& ModalScriptReady() {
    static std::function<bool()> ready;
    return ready;
}
}  // namespace

ModalScript::ModalScript(std::function<void()> body, std::function<bool()> ready) {
    ModalScriptBody() = std::move(body);
    ModalScriptReady() = std::move(ready);
    SetTimer(nullptr, 0, 1, &ModalScript::Fire);
}

void CALLBACK ModalScript::Fire(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (ModalScriptReady() && !ModalScriptReady()()) {
        SetTimer(nullptr, 0, 5, &ModalScript::Fire);
        return;
    }
    auto body = std::move(ModalScriptBody());
    ModalScriptBody() = nullptr;
    ModalScriptReady() = nullptr;
    if (body) body();
}

}  // namespace corvale::test
