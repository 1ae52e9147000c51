#pragma once
// Forgiving conversions of settings texts. Nothing here raises: a text that is not a
// usable value reads as false or 0, so a hand-edited monitor.ini can never stop the
// program from starting.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvale {

// The part of a text before its first NUL, or the whole text. Fixed-size buffers that
// the platform filled come back padded; this cuts them to what was really written.
std::string TextBeforeNul(std::string_view text);

// "True"/"False" in any letter case, or a number (0 is false, anything else true).
// Surrounding spaces and tabs are allowed; anything else is false.
bool SafeBool(std::string_view text);

// A decimal number (sign, digits, fraction, exponent; surrounding spaces allowed) taken
// through a 32-bit float and rounded to the nearest whole number, halves to even.
// A result outside the 16- or 32-bit range, or a text that is no number, gives 0.
int16_t SafeInt(std::string_view text);
int32_t SafeLong(std::string_view text);

// The same conversions for values that already are numbers.
bool SafeBool(double value);
int16_t SafeInt(double value);
int32_t SafeLong(double value);

// A number as monitor.ini stores it: whole values without a decimal point, others in
// plain decimal notation.
std::string FormatIniNumber(float value);

// Values are read through a buffer of this many characters, so longer values are cut
// to one less (room for the terminating NUL).
inline constexpr std::size_t kIniValueBuffer = 145;

// What a value read from monitor.ini becomes: cut at its first NUL and to the read
// buffer, trailing spaces removed.
std::string IniValueFromBuffer(std::string_view buffer);
// What may be written as a value: everything before the first line break, so a value
// can never add lines (keys or sections) of its own to the file.
std::string_view IniValueToWrite(std::string_view value);
// A value as it is written so it reads back as it is: the profile functions drop the quotes
// around a value that begins and ends with one ("C:\\x.exe" "%MESSAGE%"), so such a value gets
// another pair for them to drop.
std::string IniValueQuoted(std::string_view value);

}  // namespace corvale
