#include "ui/history/LocaleFormat.h"

#include <cstdio>

#include "ui/history/TimeAxis.h"

namespace corvale {

std::string LocaleFormat::Integer(int64_t value) const { return std::to_string(value); }

std::string LocaleFormat::Decimal(double value, int decimals) const {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string LocaleFormat::TimeOfDay(int64_t utcMs) const {
    constexpr int64_t kDayMs = 24 * kHourMs;
    const int64_t local = utcMs + OffsetMinutesAt(utcMs) * kMinuteMs;
    const int64_t ofDay = (local % kDayMs + kDayMs) % kDayMs;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(ofDay / kHourMs),
                  static_cast<int>(ofDay % kHourMs / kMinuteMs));
    return text;
}

}  // namespace corvale
