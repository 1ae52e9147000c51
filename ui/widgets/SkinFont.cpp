#include "ui/widgets/SkinFont.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "ui/base/PropertyBag.h"

namespace corvale {

std::string FormatFontSpec(const SkinFontSpec& font) {
    auto flag = [](bool b) { return b ? "1" : "0"; };
    std::string out = font.name;
    out += '|';
    out += FormatDouble(font.size);
    for (bool b : {font.bold, font.italic, font.underline, font.strikethrough}) {
        out += '|';
        out += flag(b);
    }
    return out;
}

std::optional<SkinFontSpec> ParseFontSpec(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t bar = text.find('|', start);
        parts.push_back(text.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    if (parts.size() != 6 || parts[0].empty()) return std::nullopt;
    SkinFontSpec font;
    font.name = std::string(parts[0]);
    std::string sizeText(parts[1]);
    char* end = nullptr;
    double size = std::strtod(sizeText.c_str(), &end);
    if (sizeText.empty() || *end != '\0' || !std::isfinite(size) || size <= 0 || size > 1638) return std::nullopt;
    font.size = size;
    bool* flags[] = {&font.bold, &font.italic, &font.underline, &font.strikethrough};
    for (int i = 0; i < 4; ++i) {
        if (parts[2 + i] == "1") *flags[i] = true;
        else if (parts[2 + i] == "0") *flags[i] = false;
        else return std::nullopt;
    }
    return font;
}

}  // namespace corvale
