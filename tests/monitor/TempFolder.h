#pragma once
// A fresh folder per test, removed with everything in it (read-only files included). Its
// names are UTF-8, as the program keeps paths, so a folder may have any name.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

namespace corvale::test {

// A UTF-8 path as the platform's path (on Windows the narrow form would be taken as ANSI).
inline std::filesystem::path Utf8Path(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

class TempFolder {
public:
    explicit TempFolder(std::string_view leaf = "") {
        static std::atomic<int> counter{0};
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        std::string name = "corvale-monitor-" + std::to_string(stamp) + "-" + std::to_string(counter++);
        path_ = std::filesystem::temp_directory_path() / name;
        if (!leaf.empty()) path_ /= Utf8Path(leaf);
        std::filesystem::create_directories(path_);
        root_ = std::filesystem::temp_directory_path() / name;
    }
    ~TempFolder() {
        std::error_code ec;
        for (auto& entry : std::filesystem::recursive_directory_iterator(root_, ec))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(root_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with its trailing separator, as the program keeps its own folder.
    std::string Folder() const {
        const std::u8string utf8 = path_.u8string();
        std::string text(utf8.begin(), utf8.end());
        text += static_cast<char>(std::filesystem::path::preferred_separator);
        return text;
    }
    std::string File(std::string_view name) const { return Folder() + std::string(name); }
    std::size_t EntryCount() const {
        std::size_t n = 0;
        for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(path_)) ++n;
        return n;
    }

private:
    std::filesystem::path root_;
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(Utf8Path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(Utf8Path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void MakeReadOnly(const std::string& path, bool readOnly) {
    using std::filesystem::perms;
    std::filesystem::permissions(Utf8Path(path), perms::owner_write | perms::group_write | perms::others_write,
                                 readOnly ? std::filesystem::perm_options::remove
                                          : std::filesystem::perm_options::add);
}

}  // namespace corvale::test
