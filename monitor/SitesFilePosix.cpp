// Whole-file reading and the one-step replacement of a file, for the native build.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "monitor/AppFolder.h"
#include "monitor/SiteList.h"

namespace corvale {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    bool Valid() const { return fd_ >= 0; }
    int Get() const { return fd_; }
    bool Close() {
        if (fd_ < 0) return true;
        bool ok = ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        ssize_t n = ::write(fd, contents.data(), contents.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        contents.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

std::string ReadWholeFile(const std::string& path, bool* unreadable) {
    bool ignored = false;
    bool& failed = unreadable ? *unreadable : ignored;
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    failed = !file.Valid() && errno != ENOENT && errno != ENOTDIR;
    if (!file.Valid()) return {};
    // From here on the file is there: whatever keeps its text from us makes it unreadable.
    failed = true;
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
    failed = false;
    if (info.st_size <= 0) return {};
    failed = true;
    try {
        std::string text(static_cast<std::size_t>(info.st_size), '\0');
        std::size_t got = 0;
        while (got < text.size()) {
            ssize_t n = ::read(file.Get(), text.data() + got, text.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return {};
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        text.resize(got);
        failed = false;
        return text;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

bool ReplaceFileContents(const std::string& path, std::string_view contents) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        // The same rule as the Windows read-only attribute, whoever runs the program.
        if (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0) return false;
    }
    std::string folder = FolderOfPath(path);
    std::string temp = (folder.empty() ? std::string("./") : folder) + ".sites.XXXXXX";
    FileDescriptor file(::mkstemp(temp.data()));
    if (!file.Valid()) return false;
    bool ok = ::fchmod(file.Get(), 0644) == 0 && WriteAll(file.Get(), contents) && ::fsync(file.Get()) == 0;
    ok = file.Close() && ok;
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

// There is no ANSI code page here: the bytes are taken as they are.
std::string TextFromAnsiCodePage(std::string_view text) { return std::string(text); }

}  // namespace corvale
