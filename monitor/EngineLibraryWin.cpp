// Loading the engine library on Windows.
#include <windows.h>

#include "monitor/basTarnel.h"
#include "monitor/WideText.h"

namespace corvale {

const char* const kEngineLibraryName = "tarnel.dll";

namespace {

std::string SystemErrorText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string description = length && text ? Narrow(std::wstring_view(text, length)) : std::string();
    if (text) LocalFree(text);
    while (!description.empty() && (description.back() == '\r' || description.back() == '\n' ||
                                    description.back() == ' ' || description.back() == '.'))
        description.pop_back();
    return description.empty() ? "Unknown error" : description;
}

HMODULE LoadFromFolderOnly(const std::string& path) {
    // A full path loads exactly that file; its own dependencies come from the system folder
    // only, never from the program's (a flag of Windows 8, and of Windows 7 with its loader update).
    const std::wstring widePath = Widen(path);
    HMODULE module = LoadLibraryExW(widePath.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER)
        module = LoadLibraryExW(widePath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return module;
}

}  // namespace

std::optional<EngineEntryPoints> LoadEngineLibrary(const std::string& folder, EngineBindError* error) {
    std::string path = folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    path += kEngineLibraryName;
    // No "cannot find the file" box from the system: the failure is ours to report.
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadFromFolderOnly(path);
    const DWORD loadError = GetLastError();
    SetErrorMode(previousMode);
    if (!module) {
        if (error) *error = {loadError, SystemErrorText(loadError)};
        return std::nullopt;
    }
    const EngineEntryPoints entryPoints =
        LookUpEntryPoints([module](const char* name) { return reinterpret_cast<void*>(GetProcAddress(module, name)); });
    if (!entryPoints.Complete()) {
        const DWORD bindError = ERROR_PROC_NOT_FOUND;
        FreeLibrary(module);
        if (error) *error = {bindError, SystemErrorText(bindError)};
        return std::nullopt;
    }
    return entryPoints;
}

std::string EngineHostText(const std::string& siteText) {
    if (siteText.empty()) return {};
    const std::string line = WebPathInAscii(siteText);
    // A system whose ANSI code page is UTF-8 takes the text as it is (and allows no flags).
    if (GetACP() == CP_UTF8) return line;
    const std::wstring wide = Widen(line);
    const int size = static_cast<int>(wide.size());
    BOOL lost = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr, &lost);
    if (length <= 0 || lost) return {};
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

}  // namespace corvale
