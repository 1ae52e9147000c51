// Whole-file reading and the one-step replacement of a file, with the Windows file API.
#include <windows.h>

#include <new>

#include "monitor/AppFolder.h"
#include "monitor/SiteList.h"

namespace corvale {
namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE Get() const { return h_; }
    bool Close() {
        if (!Valid()) return true;
        bool ok = CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

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
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        failed = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
        return {};
    }
    // From here the file is there: whatever keeps its text from us makes it unreadable.
    failed = true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return {};
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return {};
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
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

bool ReplaceFileContents(const std::string& path, std::string_view contents) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;

    std::string folder = FolderOfPath(path);
    if (folder.empty()) folder.push_back('.');
    char temp[MAX_PATH + 1] = {};
    if (!GetTempFileNameA(folder.c_str(), "cvs", 0, temp)) return false;
    {
        FileHandle file(CreateFileA(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        bool ok = file.Valid() && WriteAll(file.Get(), contents) && FlushFileBuffers(file.Get());
        ok = file.Close() && ok;
        if (!ok) {
            DeleteFileA(temp);
            return false;
        }
    }
    if (!MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp);
        return false;
    }
    return true;
}

}  // namespace corvale
