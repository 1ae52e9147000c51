// "sites.txt" as the program reads and writes it.
#include "monitor/SiteList.h"
#include "monitor/WideText.h"

namespace corvale {

namespace {

bool StartsWith(std::string_view bytes, std::string_view mark) { return bytes.substr(0, mark.size()) == mark; }

// UTF-16 bytes after their mark as UTF-8. A surrogate without its partner becomes U+FFFD and
// an odd last byte is left out; either makes the text `lossy`.
std::string TextFromUtf16(std::string_view bytes, bool bigEndian, bool& lossy) {
    const auto unitAt = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    const auto isHigh = [](char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
    const auto isLow = [](char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
    lossy = lossy || bytes.size() % 2 != 0;
    std::wstring wide;
    wide.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char32_t unit = unitAt(i);
        if (isHigh(unit) && i + 3 < bytes.size() && isLow(unitAt(i + 2))) {
            const char32_t low = unitAt(i + 2);
            i += 2;
            if constexpr (sizeof(wchar_t) == 2) {
                wide += static_cast<wchar_t>(unit);
                wide += static_cast<wchar_t>(low);
            } else {
                wide += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            }
        } else if (isHigh(unit) || isLow(unit)) {
            wide += static_cast<wchar_t>(0xFFFD);
            lossy = true;
        } else {
            wide += static_cast<wchar_t>(unit);
        }
    }
    return Narrow(wide);
}

// The text less every line that holds a NUL, line end and all. What comes before a NUL is not
// known to be the whole site (a name cut short can name another host), so the line is left out
// rather than cut there.
std::string WithoutLinesHoldingNul(std::string text, bool& lossy) {
    if (text.find('\0') == std::string::npos) return text;
    lossy = true;
    std::string kept;
    kept.reserve(text.size());
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find_first_of("\r\n", start);
        end = end == std::string::npos ? text.size() : end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        const std::string_view line = std::string_view(text).substr(start, end - start);
        if (line.find('\0') == std::string_view::npos) kept += line;
        start = end;
    }
    return kept;
}

}  // namespace

std::string SitesTextFromFile(std::string bytes, bool* lossy) {
    bool ignored = false;
    bool& lost = lossy ? *lossy : ignored;
    lost = false;
    std::string text;
    if (StartsWith(bytes, "\xEF\xBB\xBF")) text = bytes.substr(3);
    else if (StartsWith(bytes, "\xFF\xFE")) text = TextFromUtf16(std::string_view(bytes).substr(2), false, lost);
    else if (StartsWith(bytes, "\xFE\xFF")) text = TextFromUtf16(std::string_view(bytes).substr(2), true, lost);
    // A list that is not UTF-8 was written in the ANSI code page, as earlier versions did.
    else if (!IsUtf8(bytes)) text = TextFromAnsiCodePage(bytes);
    else text = std::move(bytes);
    return WithoutLinesHoldingNul(std::move(text), lost);
}

std::string ReadSitesFile(const std::string& path, bool& notWhole) {
    bool lossy = false;
    std::string text = SitesTextFromFile(ReadWholeFile(path, &notWhole), &lossy);
    // What could not be taken in stays in the file until the user saves a list of their own.
    notWhole = notWhole || lossy;
    return text;
}

}  // namespace corvale
