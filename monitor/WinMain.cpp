// The program's entry: start-up, then window events until the shut-down ends the process.
#include <windows.h>

#include "engine/SystemLibrary.h"
#include "monitor/AppFolder.h"
#include "monitor/basMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything loads a DLL: from here on, only the system folder is searched.
    tarnel::RestrictDllSearchToSystemFolder();
    static corvale::CorvaleProgram program;
    if (!program.Main(corvale::ProgramModulePath())) return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
