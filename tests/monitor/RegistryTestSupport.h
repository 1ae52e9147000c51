#pragma once
// Reading registry values back as stored, and keeping the start-up entry of whoever
// uses the registry (the Wine prefix is shared) as it was before a test.

#include <windows.h>

#include <optional>
#include <string>

#include "monitor/AppFolder.h"
#include "ui/prefs/clsRegistry.h"

namespace corvale::test {

struct StoredValue {
    DWORD type = 0;
    std::string data;  // as stored, terminating NUL included
};

inline std::optional<StoredValue> ReadValue(const std::string& keyPath, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    StoredValue value;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &value.type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        value.data.resize(size);
        rc = RegQueryValueExA(key, name.c_str(), nullptr, &value.type,
                              reinterpret_cast<BYTE*>(value.data.data()), &size);
        value.data.resize(size);
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    return value;
}

inline std::string Stored(const std::string& text) { return text + '\0'; }

// Test programs of other build folders may share this registry (one Wine prefix) and run
// at the same time; a test ctest's resource lock cannot see. A named mutex lets only one
// of them at a time own the start-up entry. An abandoned mutex is still granted.
class StartupEntryLock {
public:
    StartupEntryLock() : mutex_(CreateMutexA(nullptr, FALSE, "Local\\CorvaleStartupEntryTests")) {
        if (mutex_) WaitForSingleObject(mutex_, INFINITE);
    }
    ~StartupEntryLock() {
        if (!mutex_) return;
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
    StartupEntryLock(const StartupEntryLock&) = delete;
    StartupEntryLock& operator=(const StartupEntryLock&) = delete;

private:
    HANDLE mutex_;
};

// Keeps the start-up entry of whoever uses this prefix as it was.
class StartupEntryGuard {
public:
    StartupEntryGuard() : saved_(ReadValue(kRunKeyPath, kProgramTitle)) {}
    ~StartupEntryGuard() {
        clsRegistry registry;
        registry.RemoveFromStartup();
        if (saved_) {
            HKEY key = nullptr;
            if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                nullptr) == ERROR_SUCCESS) {
                RegSetValueExA(key, kProgramTitle, 0, saved_->type,
                               reinterpret_cast<const BYTE*>(saved_->data.data()),
                               static_cast<DWORD>(saved_->data.size()));
                RegCloseKey(key);
            }
        }
    }

private:
    StartupEntryLock lock_;  // first member: taken before the entry is read, freed after it is restored
    std::optional<StoredValue> saved_;
};

inline bool StartupEntryExists() { return ReadValue(kRunKeyPath, kProgramTitle).has_value(); }

}  // namespace corvale::test
