#include "ui/base/MessagePump.h"

#include <windows.h>

namespace corvale {
namespace {

bool IsDialogWindow(HWND window) {
    char name[8] = {};
    return window && GetClassNameA(window, name, sizeof name) && lstrcmpA(name, "#32770") == 0;
}

}  // namespace

void LetWindowEventsRun() {
    // Bounded, so messages that keep posting more can never hold the caller forever.
    const DWORD start = GetTickCount();
    MSG msg;
    // Wide, as every loop of the program: typed characters reach the controls as typed.
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        HWND active = GetActiveWindow();
        if (!(IsDialogWindow(active) && IsDialogMessageW(active, &msg))) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (GetTickCount() - start > 100) return;
    }
}

}  // namespace corvale
