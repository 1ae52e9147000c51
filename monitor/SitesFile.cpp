// "sites.txt" as the program reads and writes it.
#include "monitor/SiteList.h"
#include "monitor/WideText.h"

namespace corvale {

std::string SitesTextFromFile(std::string bytes) {
    static constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    if (std::string_view(bytes).substr(0, kUtf8Mark.size()) == kUtf8Mark) return bytes.substr(kUtf8Mark.size());
    // A list that is not UTF-8 was written in the ANSI code page, as earlier versions did.
    if (!IsUtf8(bytes)) return TextFromAnsiCodePage(bytes);
    return bytes;
}

}  // namespace corvale
