#pragma once
// Reading registry values back as stored, and keeping the start-up entry of whoever
// uses the registry (the Wine prefix is shared) as it was before a test.

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

#include "monitor/AppFolder.h"
#include "monitor/Handles.h"
#include "monitor/WideText.h"
#include "ui/prefs/clsRegistry.h"

namespace corvale::test {

struct StoredValue {
    DWORD type = 0;
    std::string data;  // as stored, terminating NUL included; a text as UTF-8
    std::string bytes;  // exactly as stored
};

inline std::optional<StoredValue> ReadValue(const std::string& keyPath, const std::string& name) {
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring wideName = Widen(name);
    StoredValue value;
    DWORD size = 0;
    LONG rc = RegQueryValueExW(key.Get(), wideName.c_str(), nullptr, &value.type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        value.bytes.resize(size);
        rc = RegQueryValueExW(key.Get(), wideName.c_str(), nullptr, &value.type,
                              reinterpret_cast<BYTE*>(value.bytes.data()), &size);
        value.bytes.resize(size);
    }
    if (rc != ERROR_SUCCESS) return std::nullopt;
    value.data = value.bytes;
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
        std::wstring text(value.bytes.size() / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), value.bytes.data(), text.size() * sizeof(wchar_t));
        value.data = Narrow(text);
    }
    return value;
}

inline std::string Stored(const std::string& text) { return text + '\0'; }

// Test programs of other build folders may share this registry (one Wine prefix) and run
// at the same time; a test ctest's resource lock cannot see. A named mutex lets only one
// of them at a time own the start-up entry. An abandoned mutex is still granted.
class StartupEntryLock {
public:
    StartupEntryLock() : mutex_(CreateMutexA(nullptr, FALSE, "Local\\CorvaleStartupEntryTests")) {
        if (mutex_) WaitForSingleObject(mutex_.Get(), INFINITE);
    }
    ~StartupEntryLock() {
        if (mutex_) ReleaseMutex(mutex_.Get());
    }

private:
    KernelHandle mutex_;
};

// Keeps the start-up entry of whoever uses this prefix as it was.
class StartupEntryGuard {
public:
    StartupEntryGuard() : saved_(ReadValue(kRunKeyPath, kProgramTitle)) {}
    ~StartupEntryGuard() {
        clsRegistry registry;
        registry.RemoveFromStartup();
        RegistryKey key;
        if (saved_ && RegCreateKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                      key.Receive(), nullptr) == ERROR_SUCCESS)
            RegSetValueExW(key.Get(), Widen(kProgramTitle).c_str(), 0, saved_->type,
                           reinterpret_cast<const BYTE*>(saved_->bytes.data()), static_cast<DWORD>(saved_->bytes.size()));
    }

private:
    StartupEntryLock lock_;  // first member: taken before the entry is read, freed after it is restored
    std::optional<StoredValue> saved_;
};

inline bool StartupEntryExists() { return ReadValue(kRunKeyPath, kProgramTitle).has_value(); }

}  // namespace corvale::test
