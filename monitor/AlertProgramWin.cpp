#include "monitor/AlertProgram.h"

#include <windows.h>

#include <cwctype>

#include "monitor/CommandLine.h"
#include "monitor/Handles.h"
#include "monitor/WideText.h"

namespace corvale {
namespace {

std::wstring SystemFolder(UINT (WINAPI* folder)(LPWSTR, UINT)) {
    wchar_t path[MAX_PATH];
    const UINT length = folder(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

// The folders a program named alone is looked for in: the system's, then the PATH's.
std::wstring ProgramSearchPath() {
    std::wstring folders = SystemFolder(&GetSystemDirectoryW) + L";" + SystemFolder(&GetWindowsDirectoryW);
    const DWORD length = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (length > 0) {
        std::wstring path(length, L'\0');
        path.resize(GetEnvironmentVariableW(L"PATH", path.data(), length));
        folders += L";" + path;
    }
    return folders;
}

// The program's full path, ".exe" added to a name without an extension; empty when it is not
// there (the system's error then set).
std::wstring ProgramPath(std::wstring program, const std::wstring& folder) {
    const bool hasFolder = program.find_first_of(L"\\/:") != std::wstring::npos;
    const bool relative = program.size() < 2 || (program[1] != L':' && program[0] != L'\\' && program[0] != L'/');
    if (hasFolder && relative && !folder.empty())
        program = folder + (folder.back() == L'\\' || folder.back() == L'/' ? L"" : L"\\") + program;
    // A path is only checked; a name alone is looked for in the given folders only.
    const std::wstring searched = hasFolder ? std::wstring() : ProgramSearchPath();
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = SearchPathW(hasFolder ? nullptr : searched.c_str(), program.c_str(), L".exe",
                                         static_cast<DWORD>(path.size()), path.data(), nullptr);
        if (length == 0) return {};
        if (length < path.size()) return path.substr(0, length);
        path.assign(length, L'\0');  // the size it needs, with its terminator
    }
    return {};
}

std::string Reason(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return "program not found";
    case ERROR_ACCESS_DENIED: return "access denied";
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_EXE_MACHINE_TYPE_MISMATCH: return "not a program";
    case ERROR_FILENAME_EXCED_RANGE: return "command line too long";
    default: return "error " + std::to_string(error);
    }
}

bool IsBatchFile(const std::wstring& path) {
    const std::size_t dot = path.find_last_of(L".\\/");
    if (dot == std::wstring::npos || path[dot] != L'.') return false;
    std::wstring extension = path.substr(dot);
    for (wchar_t& c : extension) c = static_cast<wchar_t>(towlower(c));
    return extension == L".bat" || extension == L".cmd";
}

}  // namespace

ProgramStart StartAlertProgram(const std::vector<std::string>& arguments, const std::string& folder) {
    if (arguments.empty() || arguments[0].empty()) return {false, "no program given"};
    const std::wstring program = ProgramPath(Widen(arguments[0]), Widen(folder));
    if (program.empty()) return {false, Reason(GetLastError())};
    // The program name in the line as it was written: what the program sees as its first argument.
    std::wstring commandLine = Widen(IsBatchFile(program) ? JoinBatchCommandLine(arguments) : JoinCommandLine(arguments));
    // A command line holds at most 32767 characters, its terminator included.
    if (commandLine.size() >= 32767) return {false, Reason(ERROR_FILENAME_EXCED_RANGE)};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &started))
        return {false, Reason(GetLastError())};
    const KernelHandle process(started.hProcess), thread(started.hThread);  // never waited for
    return {true, {}};
}

}  // namespace corvale
