#include "ui/prefs/clsRegistry.h"

#include "monitor/AppFolder.h"
#include "monitor/Conversions.h"
#include "monitor/Settings.h"
#include "ui/base/GdiHandles.h"
#include "ui/base/WideText.h"
#include "ui/prefs/RegistryText.h"

namespace corvale {
namespace {

// Read, write, create and enumerate: what the program needs of its key and no more.
constexpr REGSAM kKeyAccess = 0x3F;

}  // namespace

void clsRegistry::SetValue(std::string_view vValue) {
    RegistryKey key;
    DWORD disposition = 0;
    wchar_t emptyClass[] = L"";
    if (RegCreateKeyExW(classKey_, Widen(sectionKey_).c_str(), 0, emptyClass, REG_OPTION_NON_VOLATILE, kKeyAccess,
                        nullptr, key.Receive(), &disposition) != ERROR_SUCCESS)
        return;
    const std::wstring name = Widen(valueKey_);
    if (valueType_ == REG_SZ || valueType_ == REG_EXPAND_SZ) {
        // UTF-16, so a path in any folder is stored as it is; the NUL is part of the data.
        const std::wstring data = Widen(vValue);
        RegSetValueExW(key.Get(), name.c_str(), 0, RegistryTextType(vValue), reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    } else if (valueType_ == REG_DWORD) {
        DWORD number = static_cast<DWORD>(SafeLong(vValue));
        RegSetValueExW(key.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    }
}

bool clsRegistry::DeleteValue() {
    RegistryKey key;
    if (RegOpenKeyExW(classKey_, Widen(sectionKey_).c_str(), 0, kKeyAccess, key.Receive()) != ERROR_SUCCESS)
        return false;
    return RegDeleteValueW(key.Get(), Widen(valueKey_).c_str()) == ERROR_SUCCESS;
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
