#include <windows.h>

#include <vector>

#include "monitor/AppFolder.h"

namespace corvale {

std::string ProgramModulePath() {
    // A fixed MAX_PATH buffer would silently cut a long path; grow until it fits.
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::string(buffer.data(), n);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::string ProgramFolder() { return AppFolderFromModulePath(ProgramModulePath()); }

}  // namespace corvale
