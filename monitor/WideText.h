#pragma once
// The program keeps text as UTF-8; the system's wide-character calls take UTF-16. These two
// conversions are the one bridge between them (file names, window and tooltip texts, the
// registry, the shell).
//
// A path the system gives us may hold a lone surrogate (file names are not checked by the
// system); it is carried through as its three-byte form, so a path read from the system and
// handed back names the same file. Bytes that are not UTF-8 become U+FFFD each.

#include <string>
#include <string_view>

namespace corvale {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// Whether `text` is well-formed UTF-8 (a text of the system's ANSI code page usually is not,
// once it holds anything beyond ASCII).
bool IsUtf8(std::string_view text);

// `utf8` as it fits a system field of `maxUnits` UTF-16 units (without its terminating NUL):
// unchanged when it fits, otherwise cut at a character boundary and ended with "...".
std::string FitWithEllipsis(std::string_view utf8, std::size_t maxUnits);

}  // namespace corvale
