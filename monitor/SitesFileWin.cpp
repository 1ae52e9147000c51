// Whole-file reading and the one-step replacement of a file, with the Windows file API.
// Paths are UTF-8 and go to the system's wide-character calls, so any folder name works.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <new>

#include "monitor/AppFolder.h"
#include "monitor/SiteList.h"
#include "monitor/Handles.h"
#include "monitor/WideText.h"

namespace corvale {
namespace {

bool WriteAll(HANDLE file, std::string_view contents) {
    while (!contents.empty()) {
        DWORD chunk = contents.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(contents.size());
        DWORD written = 0;
        if (!WriteFile(file, contents.data(), chunk, &written, nullptr) || written == 0) return false;
        contents.remove_prefix(written);
    }
    return true;
}

}  // namespace

std::string ReadWholeFile(const std::string& path, bool* unreadable) {
    bool ignored = false;
    bool& failed = unreadable ? *unreadable : ignored;
    failed = false;
    const std::wstring widePath = Widen(path);
    DWORD attributes = GetFileAttributesW(widePath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        failed = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
        return {};
    }
    // From here the file is there: whatever keeps its text from us makes it unreadable.
    failed = true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return {};
    KernelHandle file(CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) return {};
    failed = false;
    if (size.QuadPart <= 0) return {};
    failed = true;
    try {
        std::string text;
        text.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t got = 0;
        while (got < text.size()) {
            std::size_t left = text.size() - got;
            DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
            DWORD read = 0;
            if (!ReadFile(file.Get(), text.data() + got, chunk, &read, nullptr)) return {};
            if (read == 0) break;  // the file shrank while we read it
            got += read;
        }
        text.resize(got);
        failed = false;
        return text;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

bool FileExists(const std::string& path) {
    if (GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

bool ReplaceFileContents(const std::string& path, std::string_view contents) {
    const std::wstring widePath = Widen(path);
    DWORD attributes = GetFileAttributesW(widePath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;

    std::string folder = FolderOfPath(path);
    if (folder.empty()) folder.push_back('.');
    wchar_t temp[MAX_PATH + 1] = {};
    if (!GetTempFileNameW(Widen(folder).c_str(), L"cvs", 0, temp)) return false;
    {
        KernelHandle file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
        bool ok = file && WriteAll(file.Get(), contents) && FlushFileBuffers(file.Get());
        ok = file.Close() && ok;
        if (!ok) {
            DeleteFileW(temp);
            return false;
        }
    }
    if (!MoveFileExW(temp, widePath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp);
        return false;
    }
    return true;
}

std::string TextFromAnsiCodePage(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(std::min<std::size_t>(text.size(), INT32_MAX));
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (length <= 0) return std::string(text);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return Narrow(wide);
}

}  // namespace corvale
