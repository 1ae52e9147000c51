#include "ui/prefs/clsRegistry.h"

#include "monitor/AppFolder.h"
#include "monitor/Conversions.h"
#include "monitor/Handles.h"
#include "monitor/WideText.h"
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

std::string clsRegistry::StartupCommand() const {
    // The file name is looked up each time, so a renamed program registers its new name.
    return StartupCommandLine(appFolder_.empty() ? ProgramFolder() : appFolder_, ProgramFileStem(ProgramModulePath()));
}

void clsRegistry::AddToStartup() {
    PointAtStartupEntry();
    valueType_ = REG_SZ;
    SetValue(StartupCommand());
}

bool clsRegistry::StartupEntryIsOurs() {
    PointAtStartupEntry();
    RegistryKey key;
    if (RegOpenKeyExW(classKey_, Widen(sectionKey_).c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return false;
    const std::wstring name = Widen(valueKey_);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return false;
    data.resize(data.find(L'\0'));
    return SameStartupCommand(Narrow(data), StartupCommand());
}

void clsRegistry::ApplyStoredStartup(int16_t stored) {
    if (stored == 1) {
        PointAtStartupEntry();
        RegistryKey key;
        const bool present = RegOpenKeyExW(classKey_, Widen(sectionKey_).c_str(), 0, KEY_QUERY_VALUE, key.Receive()) ==
                                 ERROR_SUCCESS &&
                             RegQueryValueExW(key.Get(), Widen(valueKey_).c_str(), nullptr, nullptr, nullptr, nullptr) ==
                                 ERROR_SUCCESS;
        if (!present || StartupEntryIsOurs()) AddToStartup();
    } else if (stored == 0 && StartupEntryIsOurs()) {
        RemoveFromStartup();
    }
}

void clsRegistry::RemoveFromStartup() {
    PointAtStartupEntry();
    DeleteValue();
}

}  // namespace corvale
