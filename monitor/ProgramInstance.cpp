#include "monitor/ProgramInstance.h"

#include <cstdint>
#include <cwchar>
#include <string>

#include "monitor/WideText.h"

namespace corvale {
namespace {

// The folder as the file system tells names apart: short names made long, case ignored.
std::wstring FolderKey(std::string_view folder) {
    std::wstring path = Widen(folder);
    std::wstring longPath(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD n = GetLongPathNameW(path.c_str(), longPath.data(), static_cast<DWORD>(longPath.size()));
        if (n == 0) break;  // the text as it is, then
        if (n < longPath.size()) {
            path.assign(longPath.data(), n);
            break;
        }
        longPath.resize(n);
    }
    std::wstring upper(path.size(), L'\0');
    const int n = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, path.c_str(), static_cast<int>(path.size()),
                                upper.data(), static_cast<int>(upper.size()), nullptr, nullptr, 0);
    if (n > 0) upper.resize(static_cast<std::size_t>(n));
    else upper = path;
    if (upper.empty() || upper.back() != L'\\') upper += L'\\';
    return upper;
}

HWND WindowOfProcess(const char* windowClass, DWORD processId) {
    for (HWND window = FindWindowExA(nullptr, nullptr, windowClass, nullptr); window;
         window = FindWindowExA(nullptr, window, windowClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) return window;
    }
    return nullptr;
}

// The claim's name: of one length however long the path.
std::wstring InstanceName(std::string_view folder) {
    // FNV-1a over the key's bytes. "Local\" keeps the claim to this user session.
    uint64_t hash = 14695981039346656037ull;
    for (wchar_t unit : FolderKey(folder))
        for (int shift : {0, 8}) {
            hash ^= (static_cast<uint16_t>(unit) >> shift) & 0xFF;
            hash *= 1099511628211ull;
        }
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\Corvale-%016llx", static_cast<unsigned long long>(hash));
    return name;
}

}  // namespace

ProgramInstance::ProgramInstance(std::string_view folder) {
    const std::wstring name = InstanceName(folder);
    mapping_.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG), name.c_str()));
    if (!mapping_) return;
    first_ = GetLastError() != ERROR_ALREADY_EXISTS;
    processId_ = static_cast<volatile LONG*>(MapViewOfFile(mapping_.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
    if (first_ && processId_) InterlockedExchange(processId_, static_cast<LONG>(GetCurrentProcessId()));
}

ProgramInstance::~ProgramInstance() {
    if (processId_) UnmapViewOfFile(const_cast<LONG*>(processId_));
}

bool ProgramInstance::BringRunningForward(const char* windowClass, UINT message, DWORD waitMs) const {
    if (first_ || !processId_) return false;
    const ULONGLONG until = GetTickCount64() + waitMs;
    for (;;) {
        // Zero until the first start has written it, a moment after its claim.
        const DWORD processId = static_cast<DWORD>(InterlockedCompareExchange(processId_, 0, 0));
        if (HWND window = processId ? WindowOfProcess(windowClass, processId) : nullptr) {
            AllowSetForegroundWindow(processId);
            return PostMessageA(window, message, 0, 0) != FALSE;
        }
        if (GetTickCount64() >= until) return false;
        Sleep(50);
    }
}

}  // namespace corvale
