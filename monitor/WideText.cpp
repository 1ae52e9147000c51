#include "monitor/WideText.h"

#include <cstdint>
#include <type_traits>

namespace corvale {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point starting at text[i] and its length in bytes; 0 bytes when it is not UTF-8.
// Surrogate code points are accepted here, so their three-byte forms round-trip.
std::size_t Decode(std::string_view text, std::size_t i, char32_t& cp) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t min = 0;
    if ((lead & 0xE0) == 0xC0) length = 2, cp = lead & 0x1F, min = 0x80;
    else if ((lead & 0xF0) == 0xE0) length = 3, cp = lead & 0x0F, min = 0x800;
    else if ((lead & 0xF8) == 0xF0) length = 4, cp = lead & 0x07, min = 0x10000;
    else return 0;
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF) return 0;  // overlong or beyond Unicode
    return length;
}

bool IsSurrogate(char32_t cp) { return cp >= 0xD800 && cp <= 0xDFFF; }

void Append(std::wstring& out, char32_t cp) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (cp >> 10));
            out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(cp);
}

void Append(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        const std::size_t length = Decode(utf8, i, cp);
        if (length == 0) {
            Append(out, kReplacement);
            ++i;
            continue;
        }
        // A high surrogate followed by a low one, both in their three-byte forms, is the one
        // character they stand for (text that went through a system keeping UTF-16 pairs).
        if (sizeof(wchar_t) == 4 && cp >= 0xD800 && cp <= 0xDBFF) {
            char32_t low = 0;
            if (i + 3 < utf8.size() && Decode(utf8, i + 3, low) == 3 && low >= 0xDC00 && low <= 0xDFFF) {
                Append(out, 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00));
                i += 6;
                continue;
            }
        }
        Append(out, cp);
        i += length;
    }
    return out;
}

std::string Narrow(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t cp = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(wide[i]));
        if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size()) {
            const char32_t low = static_cast<char16_t>(wide[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (cp > 0x10FFFF) cp = kReplacement;
        Append(out, cp);
    }
    return out;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t length = Decode(text, i, cp);
        if (length == 0 || IsSurrogate(cp)) return false;
        i += length;
    }
    return true;
}

std::string FitWithEllipsis(std::string_view utf8, std::size_t maxUnits) {
    std::size_t units = 0;
    std::size_t cutAt = 0;  // the longest prefix that leaves room for the ellipsis
    constexpr std::size_t kEllipsis = 3;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        std::size_t length = Decode(utf8, i, cp);
        if (length == 0) length = 1, cp = kReplacement;
        units += cp >= 0x10000 ? 2 : 1;  // a surrogate pair
        if (units > maxUnits) return maxUnits < kEllipsis ? std::string() : std::string(utf8.substr(0, cutAt)) + "...";
        i += length;
        if (units + kEllipsis <= maxUnits) cutAt = i;
    }
    return std::string(utf8);
}

}  // namespace corvale
