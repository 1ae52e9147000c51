#include "monitor/LogFolder.h"

#include <windows.h>

#include <cstdint>

#include "monitor/Handles.h"
#include "monitor/WideText.h"

namespace corvale {
namespace {

LogFiles::Outcome OutcomeOf(DWORD error) {
    // Held by a program that shares it with nobody, or has locked the part we append to.
    const bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
    return busy ? LogFiles::Outcome::Busy : LogFiles::Outcome::Failed;
}

int64_t Ticks(const SYSTEMTIME& time) {
    FILETIME file{};
    SystemTimeToFileTime(&time, &file);
    return static_cast<int64_t>(file.dwHighDateTime) << 32 | file.dwLowDateTime;
}

}  // namespace

LogFiles::Outcome LogFolder::Append(const std::string& name, std::string_view header, std::string_view rows) {
    const std::wstring folder = Widen(folder_);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return Outcome::Failed;
    // Appending only, and sharing both ways: a program that merely reads the file is no
    // obstacle, and nothing written before is ever touched.
    const KernelHandle file(CreateFileW((folder + Widen(name)).c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return OutcomeOf(GetLastError());
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) return OutcomeOf(GetLastError());
    std::string text;
    if (size.QuadPart == 0) text.append(header).append("\r\n");
    text.append(rows);
    DWORD written = 0;
    if (!WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
        return OutcomeOf(GetLastError());
    return written == text.size() ? Outcome::Written : Outcome::Failed;  // short only on a full disk
}

LocalTime LocalTimeNow() {
    SYSTEMTIME utc{}, local{};
    GetSystemTime(&utc);
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
    constexpr int64_t kTicksPerMinute = 600'000'000;  // of 100 ns
    return {local.wYear,   local.wMonth,  local.wDay, local.wHour, local.wMinute, local.wSecond,
            static_cast<int>((Ticks(local) - Ticks(utc)) / kTicksPerMinute)};
}

}  // namespace corvale

namespace corvale {

int64_t UnixMsNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    constexpr int64_t kUnixEpochTicks = 116'444'736'000'000'000;  // 1970-01-01 in 100 ns since 1601
    const int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
    return (ticks - kUnixEpochTicks) / 10'000;
}

}  // namespace corvale
