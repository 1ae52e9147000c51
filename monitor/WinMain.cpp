// The program's entry: start-up, then window events until the shut-down ends the process.
#include <windows.h>

#include "monitor/AppFolder.h"
#include "monitor/basMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static corvale::CorvaleProgram program;
    if (!program.Main(corvale::ProgramModulePath())) return 1;
    program.GreetFirstRun();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
