#include "ui/main/VersionInfo.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "engine/SystemLibrary.h"
#include "monitor/AppFolder.h"
#include "monitor/WideText.h"

namespace corvale {
namespace {

// The version queries, from the system folder's version.dll: it is not one of the system's
// known DLLs, so an import of it would be looked for in the program's folder first.
struct VersionCalls {
    decltype(&GetFileVersionInfoSizeW) infoSize = nullptr;
    decltype(&GetFileVersionInfoW) info = nullptr;
    decltype(&VerQueryValueW) query = nullptr;

    explicit VersionCalls(const tarnel::SystemLibrary& library)
        : infoSize(library.Find<decltype(infoSize)>("GetFileVersionInfoSizeW")),
          info(library.Find<decltype(info)>("GetFileVersionInfoW")),
          query(library.Find<decltype(query)>("VerQueryValueW")) {}
    bool Complete() const { return infoSize && info && query; }
};

std::string StringValue(const VersionCalls& calls, const std::vector<char>& block, const wchar_t* name) {
    // The language and code page the block names first, then US English Unicode.
    struct Translation {
        WORD language, codePage;
    };
    Translation* translations = nullptr;
    UINT size = 0;
    wchar_t key[96];
    if (calls.query(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &size) &&
        size >= sizeof(Translation)) {
        std::swprintf(key, std::size(key), L"\\StringFileInfo\\%04x%04x\\%ls", translations[0].language,
                      translations[0].codePage, name);
    } else {
        std::swprintf(key, std::size(key), L"\\StringFileInfo\\040904B0\\%ls", name);
    }
    wchar_t* value = nullptr;
    if (!calls.query(block.data(), key, reinterpret_cast<void**>(&value), &size) || !value || size == 0) return {};
    return Narrow(std::wstring_view(value, wcsnlen(value, size)));
}

ProgramVersion ReadVersion() {
    ProgramVersion version;
    const tarnel::SystemLibrary library(L"version.dll");
    const VersionCalls calls(library);
    if (!calls.Complete()) return version;
    // Through UTF-8 and back names the same file, whatever script its folder is named in.
    const std::wstring path = Widen(ProgramModulePath());
    DWORD ignored = 0;
    const DWORD size = calls.infoSize(path.c_str(), &ignored);
    if (size == 0) return version;
    std::vector<char> block(size);
    if (!calls.info(path.c_str(), 0, size, block.data())) return version;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (calls.query(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) && fixed) {
        version.major = HIWORD(fixed->dwProductVersionMS);
        version.minor = LOWORD(fixed->dwProductVersionMS);
        version.build = HIWORD(fixed->dwProductVersionLS);
        version.revision = LOWORD(fixed->dwProductVersionLS);
    }
    version.productName = StringValue(calls, block, L"ProductName");
    version.companyName = StringValue(calls, block, L"CompanyName");
    return version;
}

}  // namespace

const ProgramVersion& ProgramVersionInfo() {
    static const ProgramVersion version = ReadVersion();
    return version;
}

}  // namespace corvale
