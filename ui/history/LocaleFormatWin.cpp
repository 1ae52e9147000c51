// Numbers and times of day as the user's locale writes them (times in its short format), on
// the user's clock.
#include <windows.h>

#include <cstdio>

#include "monitor/WideText.h"
#include "ui/history/LocaleFormat.h"

namespace corvale {
namespace {

constexpr int64_t kUnixEpochTicks = 116'444'736'000'000'000;  // 1970-01-01 in 100 ns since 1601
constexpr int64_t kTicksPerMs = 10'000;

int64_t TicksOf(const SYSTEMTIME& time) {
    FILETIME file{};
    if (!SystemTimeToFileTime(&time, &file)) return 0;
    return static_cast<int64_t>(static_cast<uint64_t>(file.dwHighDateTime) << 32 | file.dwLowDateTime);
}

std::wstring LocaleText(LCTYPE type, const wchar_t* fallback) {
    wchar_t text[80] = {};
    return GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, text, 80) > 0 ? text : fallback;
}

UINT LocaleNumber(LCTYPE type, UINT fallback) {
    DWORD value = 0;
    return GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&value),
                           sizeof value / sizeof(wchar_t)) > 0
               ? value
               : fallback;
}

// "3;0" (groups of three throughout) as NUMBERFMT takes it: 3; "3;2;0" as 32; "3" as 30.
UINT GroupingOf(const std::wstring& pattern) {
    UINT grouping = 0;
    bool repeats = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] < L'0' || pattern[i] > L'9') continue;
        if (pattern[i] == L'0' && i + 1 == pattern.size() && i > 0) {
            repeats = true;
            break;
        }
        grouping = grouping * 10 + static_cast<UINT>(pattern[i] - L'0');
    }
    return repeats ? grouping : grouping * 10;
}

class UserLocale : public LocaleFormat {
public:
    UserLocale()
        : decimal_(LocaleText(LOCALE_SDECIMAL, L".")), thousand_(LocaleText(LOCALE_STHOUSAND, L",")),
          shortTime_(LocaleText(LOCALE_SSHORTTIME, L"")) {
        format_.LeadingZero = LocaleNumber(LOCALE_ILZERO, 1);
        format_.Grouping = GroupingOf(LocaleText(LOCALE_SGROUPING, L"3;0"));
        format_.NegativeOrder = LocaleNumber(LOCALE_INEGNUMBER, 1);
        format_.lpDecimalSep = decimal_.data();
        format_.lpThousandSep = thousand_.data();
    }

    UserLocale(const UserLocale&) = delete;
    UserLocale& operator=(const UserLocale&) = delete;

    std::string Integer(int64_t value) const override { return Formatted(std::to_string(value), 0); }

    std::string Decimal(double value, int decimals) const override {
        char plain[64];
        std::snprintf(plain, sizeof plain, "%.*f", decimals, value);
        return Formatted(plain, decimals);
    }

    int OffsetMinutesAt(int64_t utcMs) const override {
        SYSTEMTIME utc{}, local{};
        if (!Split(utcMs, utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return 0;
        return static_cast<int>((TicksOf(local) - TicksOf(utc)) / (60 * 1000 * kTicksPerMs));
    }

    std::string TimeOfDay(int64_t utcMs) const override {
        SYSTEMTIME utc{}, local{};
        wchar_t text[64] = {};
        if (Split(utcMs, utc) && SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) &&
            GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, shortTime_.empty() ? TIME_NOSECONDS : 0, &local,
                            shortTime_.empty() ? nullptr : shortTime_.c_str(), text, 64) > 0)
            return Narrow(text);
        return LocaleFormat::TimeOfDay(utcMs);
    }

private:
    static bool Split(int64_t utcMs, SYSTEMTIME& time) {
        const uint64_t ticks = static_cast<uint64_t>(utcMs * kTicksPerMs + kUnixEpochTicks);
        const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        return FileTimeToSystemTime(&file, &time) != FALSE;
    }

    std::string Formatted(const std::string& plain, int decimals) const {
        NUMBERFMTW format = format_;
        format.NumDigits = static_cast<UINT>(decimals);
        wchar_t text[96] = {};
        return GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, Widen(plain).c_str(), &format, text, 96) > 0
                   ? Narrow(text)
                   : plain;
    }

    std::wstring decimal_, thousand_;
    std::wstring shortTime_;  // the user's short time format ("HH:mm", "h:mm tt"); empty where none
    NUMBERFMTW format_{};
};

}  // namespace

std::unique_ptr<LocaleFormat> UserLocaleFormat() { return std::make_unique<UserLocale>(); }

}  // namespace corvale
