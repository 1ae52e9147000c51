#pragma once
// How numbers and times of day are written for the user. The plain forms here are the
// program's own ("1234", "12.5", "14:05" in UTC); the user's locale gives its own on Windows
// (UserLocaleFormat), with its digit grouping, decimal sign, time format and clock.

#include <cstdint>
#include <memory>
#include <string>

namespace corvale {

class LocaleFormat {
public:
    virtual ~LocaleFormat() = default;
    virtual std::string Integer(int64_t value) const;
    // With exactly `decimals` digits after the decimal sign.
    virtual std::string Decimal(double value, int decimals) const;
    // The user's clock's offset from UTC at a moment, in minutes east.
    virtual int OffsetMinutesAt(int64_t utcMs) const { return 0; }
    // A moment as a time of day on the user's clock, without seconds.
    virtual std::string TimeOfDay(int64_t utcMs) const;
};

// The user's locale and clock (Windows).
std::unique_ptr<LocaleFormat> UserLocaleFormat();

}  // namespace corvale
