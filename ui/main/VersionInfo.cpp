#include "ui/main/VersionInfo.h"

#include <windows.h>

#include <vector>

#include "monitor/AppFolder.h"

namespace corvale {
namespace {

std::string StringValue(const std::vector<char>& block, const char* name) {
    // The language and code page the block names first, then US English Unicode.
    struct Translation {
        WORD language, codePage;
    };
    Translation* translations = nullptr;
    UINT size = 0;
    char key[96];
    if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &size) &&
        size >= sizeof(Translation)) {
        wsprintfA(key, "\\StringFileInfo\\%04x%04x\\%s", translations[0].language, translations[0].codePage, name);
    } else {
        wsprintfA(key, "\\StringFileInfo\\040904B0\\%s", name);
    }
    char* value = nullptr;
    if (!VerQueryValueA(block.data(), key, reinterpret_cast<void**>(&value), &size) || !value || size == 0) return {};
    return std::string(value, strnlen(value, size));
}

ProgramVersion ReadVersion() {
    ProgramVersion version;
    const std::string path = ProgramModulePath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return version;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return version;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) && fixed) {
        version.major = HIWORD(fixed->dwProductVersionMS);
        version.minor = LOWORD(fixed->dwProductVersionMS);
        version.build = HIWORD(fixed->dwProductVersionLS);
        version.revision = LOWORD(fixed->dwProductVersionLS);
    }
    version.productName = StringValue(block, "ProductName");
    version.companyName = StringValue(block, "CompanyName");
    return version;
}

}  // namespace

const ProgramVersion& ProgramVersionInfo() {
    static const ProgramVersion version = ReadVersion();
    return version;
}

}  // namespace corvale
