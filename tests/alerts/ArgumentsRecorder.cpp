// A program the alert tests start: it writes the arguments after its first to the file its first
// names, as Windows programs split them (CommandLineToArgvW), UTF-8, each ended by a NUL. The file
// appears whole, under its name only once written.

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "monitor/WideText.h"

int main() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || count < 2) return 2;
    std::string text;
    for (int i = 2; i < count; ++i) text += corvale::Narrow(arguments[i]) + '\0';
    const std::wstring path = arguments[1], part = path + L".part";
    LocalFree(arguments);
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
    CloseHandle(file);
    return ok && MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
