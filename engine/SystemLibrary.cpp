#include "engine/SystemLibrary.h"

#include <string>

namespace tarnel {

bool RestrictDllSearchToSystemFolder()
{
    // Looked up rather than imported: an import the system lacks would stop the program from
    // starting at all. kernel32 is mapped into every process, so nothing is searched for here.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return true;
    ::SetDllDirectoryW(L"");
    return false;
}

SystemLibrary::SystemLibrary(const wchar_t* fileName)
{
    // No "cannot find the file" box from the system: a missing DLL is the caller's to report.
    // This thread's mode only: the engine loads on its worker while the program runs on.
    DWORD previousMode = 0;
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    module_ = ::LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module_ == nullptr && ::GetLastError() == ERROR_INVALID_PARAMETER) {
        // A system without the search flags: the full path in the system folder, whose own
        // imports are then looked for beside it rather than in the program's folder.
        wchar_t folder[MAX_PATH];
        const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            const std::wstring path = std::wstring(folder, length) + L"\\" + fileName;
            module_ = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        }
    }
    error_ = module_ == nullptr ? ::GetLastError() : 0;
    ::SetThreadErrorMode(previousMode, nullptr);
}

SystemLibrary::~SystemLibrary()
{
    if (module_ != nullptr)
        ::FreeLibrary(module_);
}

}  // namespace tarnel
