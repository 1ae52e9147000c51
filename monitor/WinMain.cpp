// The program's entry: start-up, then window events until the shut-down ends the process.
#include <windows.h>

#include "engine/SystemLibrary.h"
#include "monitor/AppFolder.h"
#include "monitor/ProgramInstance.h"
#include "monitor/basMain.h"

namespace {

// How long a later start waits for a program that is still starting to show its window.
constexpr DWORD kRunningWindowWaitMs = 5000;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything loads a DLL: from here on, only the system folder is searched.
    tarnel::RestrictDllSearchToSystemFolder();
    // One program per folder: a later start brings the running one forward and ends
    // before it reads or writes any file of the folder.
    const corvale::ProgramInstance instance(corvale::ProgramFolder());
    if (!instance.First()) {
        instance.BringRunningForward(corvale::frmMain::kClassName, corvale::frmMain::ShowRequestMessage(),
                                     kRunningWindowWaitMs);
        return 0;
    }
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
