// Reading the log's files with the Windows file API, sharing them every way: the program's
// own log appends meanwhile, and a spreadsheet that has one open may hold it for writing.
#include <windows.h>

#include "monitor/LogHistory.h"
#include "monitor/WideText.h"

namespace corvale {
namespace {

HANDLE HandleOf(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

}  // namespace

LogFileForReading::LogFileForReading(const std::string& path)
    : handle_(reinterpret_cast<intptr_t>(CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))) {}

LogFileForReading::~LogFileForReading() {
    if (IsOpen()) CloseHandle(HandleOf(handle_));
}

bool LogFileForReading::IsOpen() const {
    return HandleOf(handle_) != INVALID_HANDLE_VALUE && HandleOf(handle_) != nullptr;
}

int64_t LogFileForReading::Size() const {
    LARGE_INTEGER size{};
    return IsOpen() && GetFileSizeEx(HandleOf(handle_), &size) ? size.QuadPart : -1;
}

bool LogFileForReading::ReadAt(int64_t offset, std::span<char> into) const {
    if (!IsOpen()) return false;
    while (!into.empty()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
        const DWORD wanted = into.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(into.size());
        DWORD read = 0;
        if (!ReadFile(HandleOf(handle_), into.data(), wanted, &read, &at) || read == 0) return false;
        into = into.subspan(read);
        offset += read;
    }
    return true;
}

}  // namespace corvale
