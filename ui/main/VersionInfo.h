#pragma once
// The program's own version information, as its resources carry it.

#include <cstdint>
#include <string>

namespace corvale {

struct ProgramVersion {
    std::string productName;
    std::string companyName;
    uint16_t major = 0, minor = 0, build = 0, revision = 0;
};

// Read from the running program's file; empty texts and zeros where it has none (or where
// the system's version queries cannot be had).
const ProgramVersion& ProgramVersionInfo();

}  // namespace corvale
