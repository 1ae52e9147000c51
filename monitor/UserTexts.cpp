#include "monitor/UserTexts.h"

#include "monitor/SiteList.h"
#include "ui/base/WideText.h"

namespace corvale {
namespace {

// How many UTF-16 units the character starting at text[i] takes, and how many elements of
// the text it spans (a surrogate pair where wchar_t is 16 bits wide).
template <typename Char>
std::size_t Utf16Units(const std::basic_string<Char>& text, std::size_t i, std::size_t& span) {
    if constexpr (sizeof(Char) == 2) {
        const bool highSurrogate = text[i] >= 0xD800 && text[i] <= 0xDBFF;
        span = highSurrogate && i + 1 < text.size() ? 2 : 1;
        return span;
    } else {
        span = 1;
        return static_cast<char32_t>(text[i]) >= 0x10000 ? 2 : 1;
    }
}

}  // namespace

std::string TooltipText(const SiteRecord& site) {
    if (!site.Checked) return kNotCheckedYetText;
    return "Ping: " + std::to_string(site.PingMs) + " ms ";
}

std::string SaveFailureText(bool sitesFailed, bool settingsFailed, std::string_view folder) {
    std::string text = sitesFailed ? kSitesNotSavedText : "";
    if (settingsFailed) {
        if (!text.empty()) text += "\r\n";
        text += kSettingsNotSavedText;
        text += "\r\n\r\n";
        text += folder;
    }
    return text;
}

std::string TooltipTitle(std::string_view siteText) {
    static constexpr std::string_view kEllipsis = "...";
    const std::wstring wide = Widen(siteText);
    std::size_t units = 0, span = 0;
    for (std::size_t i = 0; i < wide.size(); i += span) units += Utf16Units(wide, i, span);
    if (units <= kTooltipTitleMaxUnits) return std::string(siteText);

    // Whole characters only, so no surrogate pair is split.
    std::size_t kept = 0, used = 0;
    while (kept < wide.size()) {
        const std::size_t n = Utf16Units(wide, kept, span);
        if (used + n > kTooltipTitleMaxUnits - kEllipsis.size()) break;
        used += n;
        kept += span;
    }
    return Narrow(wide.substr(0, kept)) + std::string(kEllipsis);
}

}  // namespace corvale
