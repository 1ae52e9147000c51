#pragma once
// DLLs from the system folder only. Windows looks for a DLL in the program's own folder before
// the system folder unless it is one of the system's known DLLs, and a portable program's folder
// is often one that any web page can leave files in. So the process restricts its default search
// at its first line, and every DLL that is not a known one is loaded here, by name, from the
// system folder, at run time (the program's and the engine's import tables hold only known DLLs).

#include <windows.h>

namespace tarnel {

// Restricts the process's default DLL search to the system folder; the first thing a program
// does. False where the system lacks the call (Windows 7 without its loader update): then only
// the current folder is taken out of the search.
bool RestrictDllSearchToSystemFolder();

// One system DLL, loaded from the system folder by name and freed when this goes.
class SystemLibrary {
public:
    explicit SystemLibrary(const wchar_t* fileName);
    ~SystemLibrary();
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    bool Loaded() const { return module_ != nullptr; }
    // The system's error when it could not be loaded.
    DWORD Error() const { return error_; }

    // The named function as the given pointer type; null when the DLL or the function is missing.
    template <typename Function>
    Function Find(const char* name) const
    {
        return module_ != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module_, name)))
                                  : nullptr;
    }

private:
    HMODULE module_ = nullptr;
    DWORD error_ = 0;
};

}  // namespace tarnel
