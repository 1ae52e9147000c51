// The yardstick of the program benchmark: a bare window with one 20 ms timer that does
// nothing, which is the least any window with a check timer costs. Its title is the command
// line, "Corvale bare window" when there is none.
#include <windows.h>

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    wc.lpszClassName = "CorvaleBareWindow";
    RegisterClassA(&wc);
    const char* title = commandLine && *commandLine ? commandLine : "Corvale bare window";
    HWND window = CreateWindowExA(0, wc.lpszClassName, title, WS_POPUP | WS_VISIBLE, 300, 300, 181, 44, nullptr,
                                  nullptr, instance, nullptr);
    SetTimer(window, 1, 20, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
