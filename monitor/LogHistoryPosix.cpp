// Reading the log's files where the program's logic is tested natively.
#include <fcntl.h>
#include <unistd.h>

#include <sys/stat.h>

#include "monitor/LogHistory.h"

namespace corvale {

LogFileForReading::LogFileForReading(const std::string& path) : handle_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}

LogFileForReading::~LogFileForReading() {
    if (IsOpen()) close(static_cast<int>(handle_));
}

bool LogFileForReading::IsOpen() const { return handle_ >= 0; }

int64_t LogFileForReading::Size() const {
    struct stat status {};
    return IsOpen() && fstat(static_cast<int>(handle_), &status) == 0 && S_ISREG(status.st_mode) ? status.st_size : -1;
}

bool LogFileForReading::ReadAt(int64_t offset, std::span<char> into) const {
    if (!IsOpen()) return false;
    while (!into.empty()) {
        const ssize_t read = pread(static_cast<int>(handle_), into.data(), into.size(), offset);
        if (read <= 0) return false;
        into = into.subspan(static_cast<std::size_t>(read));
        offset += read;
    }
    return true;
}

}  // namespace corvale
