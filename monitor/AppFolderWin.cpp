#include <windows.h>

#include <vector>

#include "monitor/AppFolder.h"
#include "monitor/WideText.h"

namespace corvale {

std::string ProgramModulePath() {
    // The wide form names the file whatever its folder is called; a fixed MAX_PATH buffer
    // would silently cut a long path, so it grows until the path fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::string ProgramFolder() { return AppFolderFromModulePath(ProgramModulePath()); }

}  // namespace corvale
