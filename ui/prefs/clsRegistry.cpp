#include "ui/prefs/clsRegistry.h"

#include "monitor/AppFolder.h"
#include "monitor/Conversions.h"
#include "monitor/Settings.h"
#include "ui/prefs/RegistryText.h"

namespace corvale {
namespace {

// Read, write, create and enumerate: what the program needs of its key and no more.
constexpr REGSAM kKeyAccess = 0x3F;

class RegKey {
public:
    RegKey() = default;
    ~RegKey() {
        if (key_) RegCloseKey(key_);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY* Out() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

void clsRegistry::SetValue(std::string_view vValue) {
    RegKey key;
    DWORD disposition = 0;
    char emptyClass[] = "";
    if (RegCreateKeyExA(classKey_, sectionKey_.c_str(), 0, emptyClass, REG_OPTION_NON_VOLATILE,
                        kKeyAccess, nullptr, key.Out(), &disposition) != ERROR_SUCCESS)
        return;
    if (valueType_ == REG_SZ || valueType_ == REG_EXPAND_SZ) {
        std::string data(vValue);  // the terminating NUL is part of what is stored
        RegSetValueExA(key.Get(), valueKey_.c_str(), 0, RegistryTextType(data),
                       reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>(data.size() + 1));
    } else if (valueType_ == REG_DWORD) {
        DWORD number = static_cast<DWORD>(SafeLong(vValue));
        RegSetValueExA(key.Get(), valueKey_.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&number), sizeof number);
    }
}

bool clsRegistry::DeleteValue() {
    RegKey key;
    if (RegOpenKeyExA(classKey_, sectionKey_.c_str(), 0, kKeyAccess, key.Out()) != ERROR_SUCCESS)
        return false;
    return RegDeleteValueA(key.Get(), valueKey_.c_str()) == ERROR_SUCCESS;
}

void clsRegistry::PointAtStartupEntry() {
    classKey_ = HKEY_CURRENT_USER;
    sectionKey_ = kRunKeyPath;
    valueKey_ = kProgramTitle;
}

void clsRegistry::AddToStartup() {
    PointAtStartupEntry();
    valueType_ = REG_SZ;
    // The file name is looked up each time, so a renamed program registers its new name.
    SetValue(StartupCommandLine(AppFolder, ProgramFileStem(ProgramModulePath())));
}

void clsRegistry::RemoveFromStartup() {
    PointAtStartupEntry();
    DeleteValue();
}

}  // namespace corvale
