#include "monitor/Conversions.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace corvale {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// A decimal number taken apart; only texts of this shape count as numbers. The
// platform's own number parsers accept "inf", "nan" and hexadecimal forms, which a
// settings file must not turn into values.
struct DecimalText {
    bool negative = false;
    bool allZero = true;
    std::string_view body;  // without sign, ready for from_chars
    int64_t magnitude = 0;  // decimal exponent of the leading non-zero digit
};

std::optional<DecimalText> ParseDecimal(std::string_view text) {
    text = TrimBlanks(text);
    DecimalText d;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        d.negative = text[i] == '-';
        ++i;
    }
    const std::size_t bodyStart = i;
    int64_t intDigits = 0;
    int64_t firstNonZero = -1;  // position among all mantissa digits
    int64_t digitIndex = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digitIndex, ++intDigits)
        if (text[i] != '0' && firstNonZero < 0) firstNonZero = digitIndex;
    int64_t fracDigits = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++digitIndex, ++fracDigits)
            if (text[i] != '0' && firstNonZero < 0) firstNonZero = digitIndex;
    }
    if (intDigits + fracDigits == 0) return std::nullopt;
    int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            expNegative = text[i] == '-';
            ++i;
        }
        if (i >= text.size() || !IsDigit(text[i])) return std::nullopt;
        for (; i < text.size() && IsDigit(text[i]); ++i)
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - '0');
        if (expNegative) exponent = -exponent;
    }
    if (i != text.size()) return std::nullopt;
    d.body = text.substr(bodyStart);
    d.allZero = firstNonZero < 0;
    if (!d.allZero) d.magnitude = intDigits - 1 - firstNonZero + exponent;
    return d;
}

// The number as a 32-bit float; nullopt when it does not fit one.
std::optional<float> ToFloat(const DecimalText& d) {
    if (d.allZero) return 0.0f;
    float value = 0.0f;
    auto [end, ec] = std::from_chars(d.body.data(), d.body.data() + d.body.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too small for a float rounds to zero; too large cannot be held.
        if (d.magnitude < 0) return 0.0f;
        return std::nullopt;
    }
    if (ec != std::errc() || end != d.body.data() + d.body.size()) return std::nullopt;
    return d.negative ? -value : value;
}

template <typename Int>
Int RoundIntoRange(float value) {
    if (!std::isfinite(value)) return 0;
    // Ties to even, whatever rounding mode the thread happens to run in.
    float floor = std::floor(value);
    float diff = value - floor;
    float rounded = floor;
    if (diff > 0.5f || (diff == 0.5f && std::fmod(floor, 2.0f) != 0.0f)) rounded = floor + 1.0f;
    // Compared in double: 2^31 - 1 has no float form of its own.
    double r = rounded;
    if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max()))
        return 0;
    return static_cast<Int>(r);
}

template <typename Int>
Int TextToInt(std::string_view text) {
    auto d = ParseDecimal(text);
    if (!d) return 0;
    auto f = ToFloat(*d);
    if (!f) return 0;
    return RoundIntoRange<Int>(*f);
}

template <typename Int>
Int NumberToInt(double value) {
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) return 0;
    return RoundIntoRange<Int>(static_cast<float>(value));
}

}  // namespace

std::string TextBeforeNul(std::string_view text) {
    auto nul = text.find('\0');
    return std::string(nul == std::string_view::npos ? text : text.substr(0, nul));
}

bool SafeBool(std::string_view text) {
    std::string_view t = TrimBlanks(text);
    if (EqualsNoCase(t, "true")) return true;
    if (EqualsNoCase(t, "false")) return false;
    auto d = ParseDecimal(t);
    // Any non-zero number is true, even one too large for a float.
    return d && !d->allZero;
}

int16_t SafeInt(std::string_view text) { return TextToInt<int16_t>(text); }
int32_t SafeLong(std::string_view text) { return TextToInt<int32_t>(text); }

bool SafeBool(double value) { return !std::isnan(value) && value != 0.0; }
int16_t SafeInt(double value) { return NumberToInt<int16_t>(value); }
int32_t SafeLong(double value) { return NumberToInt<int32_t>(value); }

std::string FormatIniNumber(float value) {
    if (!std::isfinite(value)) return "0";
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc()) return "0";
    std::string text(buffer, end);
    if (text == "-0") text = "0";
    return text;
}

std::string IniValueFromBuffer(std::string_view buffer) {
    std::string value = TextBeforeNul(buffer.substr(0, kIniValueBuffer - 1));
    while (!value.empty() && value.back() == ' ') value.pop_back();
    return value;
}

std::string_view IniValueToWrite(std::string_view value) {
    return value.substr(0, value.find_first_of("\r\n"));
}

std::string IniValueQuoted(std::string_view value) {
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    return quoted ? "\"" + std::string(value) + "\"" : std::string(value);
}

}  // namespace corvale
