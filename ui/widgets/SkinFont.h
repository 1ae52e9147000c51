#pragma once
// The button's font as a design value: face, size in points and style, kept under one key.

#include <optional>
#include <string>
#include <string_view>

namespace corvale {

struct SkinFontSpec {
    std::string name = "MS Sans Serif";
    double size = 8.25;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    bool operator==(const SkinFontSpec&) const = default;
};

// "name|size|bold|italic|underline|strikethrough", booleans as 0/1.
std::string FormatFontSpec(const SkinFontSpec& font);
// nullopt when the text is not a font of that form (the caller keeps its current font).
std::optional<SkinFontSpec> ParseFontSpec(std::string_view text);

}  // namespace corvale
