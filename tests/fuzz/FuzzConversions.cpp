// Any bytes through the settings conversions and the path and registry text rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "monitor/AppFolder.h"
#include "monitor/Conversions.h"
#include "ui/prefs/RegistryText.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corvale;
    std::string_view text(reinterpret_cast<const char*>(data), size);

    bool flag = SafeBool(text);
    int16_t small = SafeInt(text);
    int32_t large = SafeLong(text);
    // A number that fits 16 bits reads the same in 32, and a non-zero number is true.
    if (small != 0) Require(large == small && flag);
    if (large != 0) Require(flag);
    Require(SafeInt(FormatIniNumber(small)) == small);
    if (large >= -16777216 && large <= 16777216) Require(SafeLong(FormatIniNumber(static_cast<float>(large))) == large);

    std::string beforeNul = TextBeforeNul(text);
    Require(beforeNul.find('\0') == std::string::npos && text.substr(0, beforeNul.size()) == beforeNul);

    std::string read = IniValueFromBuffer(text);
    Require(read.size() < kIniValueBuffer && read.find('\0') == std::string::npos);
    Require(read.empty() || read.back() != ' ');
    Require(IniValueToWrite(text).find_first_of("\r\n") == std::string_view::npos);

    uint32_t type = RegistryTextType(text);
    Require(type == kRegSz || type == kRegExpandSz);

    std::string folder = AppFolderFromModulePath(text);
    Require(!folder.empty() && folder.back() == '\\');
    std::string command = StartupCommandLine(folder, ProgramFileStem(text));
    if (command.find(' ') != std::string::npos) Require(command.front() == '"' && command.back() == '"');
    // Windows file names hold no quote; one that did could not be told from the quoting.
    if (text.find('"') == std::string_view::npos) Require(SameStartupCommand(command, command));
    const std::string quoted = IniValueQuoted(text);
    Require(quoted == text || quoted == "\"" + std::string(text) + "\"");
    return 0;
}
