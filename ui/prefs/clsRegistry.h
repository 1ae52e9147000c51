#pragma once
// One value of the registry, named by root key, key path and value name, and the
// program's start-with-Windows entry built on it. Failures are swallowed: the entry is a
// convenience, and nothing the user does should stop over it.

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace corvale {

// The key that Windows reads at log-on, with the trailing backslash it is given with.
inline constexpr const char* kRunKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";

class clsRegistry {
public:
    // The start-with-Windows entry names the program file in `appFolder` (ending in a
    // backslash); without one, the folder of the running program.
    explicit clsRegistry(std::string appFolder = {}) : appFolder_(std::move(appFolder)) {}

    HKEY ClassKey() const { return classKey_; }
    void SetClassKey(HKEY key) { classKey_ = key; }
    const std::string& SectionKey() const { return sectionKey_; }
    void SetSectionKey(std::string_view path) { sectionKey_ = path; }
    const std::string& ValueKey() const { return valueKey_; }
    void SetValueKey(std::string_view name) { valueKey_ = name; }
    DWORD ValueType() const { return valueType_; }
    void SetValueType(DWORD type) { valueType_ = type; }

    // Stores vValue under ClassKey, SectionKey, ValueKey, creating the key when missing.
    // Text types are written as REG_SZ, or REG_EXPAND_SZ when the text names a variable;
    // with REG_DWORD the text is taken as a number.
    void SetValue(std::string_view vValue);

    // True when the value named ValueKey existed and was deleted.
    bool DeleteValue();

    // Registers the program to start at log-on: the value named after the program
    // under the current user's Run key, holding the path of the program file.
    void AddToStartup();
    void RemoveFromStartup();
    // Whether the entry is there and names this program (another copy in another folder may
    // have put its own there: that one is the user's, and stays as it is).
    bool StartupEntryIsOurs();
    // What the stored choice asks of the entry when the program starts or the dialog opens:
    // 1 (re)registers this program unless another copy holds the entry, 0 removes the entry
    // only where it names this program, anything else (nothing stored) leaves it.
    void ApplyStoredStartup(int16_t stored);

private:
    void PointAtStartupEntry();
    std::string StartupCommand() const;

    std::string appFolder_;
    HKEY classKey_ = HKEY_CURRENT_USER;
    std::string sectionKey_;
    std::string valueKey_;
    DWORD valueType_ = REG_SZ;
};

}  // namespace corvale
