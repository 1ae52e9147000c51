// The program's entry: start-up, then window events until the shut-down ends the process.
#include <windows.h>

#include "monitor/AppFolder.h"
#include "monitor/basMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static corvale::CorvaleProgram program;
    if (!program.Main(corvale::ProgramModulePath())) return 1;
    program.GreetFirstRun();
    // The wide-character loop hands typed characters on as typed, whatever the code page.
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
