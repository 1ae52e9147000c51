// What the program does when a system DLL it binds on first use, or a function of one, is
// missing (an older or cut-down Windows): it says which one in a message box and ends with
// ERROR_MOD_NOT_FOUND or ERROR_PROC_NOT_FOUND as its exit code, rather than vanishing with the
// exception the toolchain's delay-load helper raises otherwise.
#include <windows.h>

#include <delayimp.h>

#include <atomic>
#include <string>

#include "engine/SystemLibrary.h"
#include "monitor/AppFolder.h"

namespace {

// How long the message's thread may take to start. It cannot start at all while the process is
// ending (the loader's lock is held then): the process then ends at once, without the message.
constexpr DWORD kMessageThreadStartMs = 5000;

std::string MissingText(unsigned notice, const DelayLoadInfo& info) {
    const std::string dll = info.szDll ? info.szDll : "A system library";
    if (notice == dliFailLoadLib) return dll + " could not be loaded.";
    const std::string function = info.dlp.fImportByName && info.dlp.szProcName
                                     ? std::string(info.dlp.szProcName)
                                     : "Function " + std::to_string(info.dlp.dwOrdinal);
    return function + " in " + dll + " could not be loaded.";
}

struct Message {
    std::string text;
    HANDLE started = nullptr;
};

// The message box comes from user32 loaded here, from the system folder: the missing DLL may
// be user32 itself, and the program's own binding of it may be what failed.
DWORD WINAPI ShowMessage(void* parameter) {
    const auto& message = *static_cast<const Message*>(parameter);
    SetEvent(message.started);
    const tarnel::SystemLibrary user32(L"user32.dll");
    using MessageBoxFunction = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
    if (const auto box = user32.Find<MessageBoxFunction>("MessageBoxA"))
        box(nullptr, message.text.c_str(), corvale::kProgramTitle, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    return 0;
}

// On a thread of its own, so that the program's windows, whose thread waits here, get no
// message that could call the missing function again while the box is up.
void ShowOnThreadOfItsOwn(std::string text, UINT exitCode) {
    Message message{std::move(text), CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    if (!message.started) return;
    HANDLE thread = CreateThread(nullptr, 0, ShowMessage, &message, 0, nullptr);
    if (thread) {
        // A thread that starts late must not find the message gone.
        if (WaitForSingleObject(message.started, kMessageThreadStartMs) != WAIT_OBJECT_0)
            TerminateProcess(GetCurrentProcess(), exitCode);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    CloseHandle(message.started);
}

FARPROC WINAPI ReportMissingAndEnd(unsigned notice, PDelayLoadInfo info) {
    if ((notice != dliFailLoadLib && notice != dliFailGetProc) || !info) return nullptr;
    const UINT exitCode = notice == dliFailLoadLib ? ERROR_MOD_NOT_FOUND : ERROR_PROC_NOT_FOUND;
    // The first failure is the one told. A later one on another thread waits for the end; one
    // on the reporting thread itself comes from the process's ending, which it cuts short.
    static std::atomic<DWORD> reportingThread{0};
    DWORD none = 0;
    const DWORD self = GetCurrentThreadId();
    if (!reportingThread.compare_exchange_strong(none, self)) {
        if (none == self) TerminateProcess(GetCurrentProcess(), exitCode);
        Sleep(INFINITE);
    }
    ShowOnThreadOfItsOwn(MissingText(notice, *info), exitCode);
    ExitProcess(exitCode);
}

}  // namespace

// The toolchain's delay-load helper calls the function this names when a DLL or a function
// cannot be bound; the name and type are the helper's, set here once for the whole process.
extern "C" {
PfnDliHook __pfnDliFailureHook2 = ReportMissingAndEnd;
}
