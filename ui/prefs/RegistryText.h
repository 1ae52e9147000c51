#pragma once
// How a text is stored in the registry, kept apart from the registry calls.

#include <cstdint>
#include <string_view>

namespace corvale {

inline constexpr uint32_t kRegSz = 1;        // REG_SZ
inline constexpr uint32_t kRegExpandSz = 2;  // REG_EXPAND_SZ

// A text holding a "%" and, from the second character after it on, another "%"
// names an environment variable and is stored as REG_EXPAND_SZ; anything else as
// REG_SZ. Two signs side by side ("%%") do not count.
uint32_t RegistryTextType(std::string_view text);

// Whether a start-up entry's command names the same program file as `ours`: the path without
// its quotes, and letter case aside, as Windows compares file names.
bool SameStartupCommand(std::string_view entry, std::string_view ours);

}  // namespace corvale
