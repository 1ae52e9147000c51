// Any bytes as a site list: the table must stay within its bounds and hold only lines
// that the text really has (ended by CR LF, LF or CR, without the spaces and tabs around
// them), each once.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "monitor/SiteList.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

bool IsBlank(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

std::string_view Trimmed(std::string_view line) {
    const auto first = line.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view() : line.substr(first, line.find_last_not_of(" \t") - first + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    corvale::ParseSiteList(text);
    using corvale::Sites;
    Require(corvale::SiteLast >= -1 && corvale::SiteLast < corvale::kMaxSites);
    Require(Sites.size() == static_cast<std::size_t>(corvale::SiteLast + 1));
    std::size_t searchFrom = 0;
    for (std::size_t i = 0; i < Sites.size(); ++i) {
        const corvale::SiteRecord& site = Sites[i];
        Require(!IsBlank(site.Url));
        Require(site.Url.find_first_of("\r\n") == std::string::npos);
        Require(Trimmed(site.Url) == site.Url);
        Require(site.PingMs == 0 && site.RetryCount == 0 && !site.NotResponding);
        for (std::size_t j = 0; j < i; ++j) Require(Sites[j].Url != site.Url);
        // Accepted lines come in the order of the text.
        std::size_t at = text.find(site.Url, searchFrom);
        Require(at != std::string_view::npos);
        searchFrom = at + site.Url.size();
    }
    // Fewer than twenty sites means every non-blank line of the text was taken.
    if (Sites.size() < static_cast<std::size_t>(corvale::kMaxSites)) {
        std::size_t start = 0;
        for (;;) {
            std::size_t end = text.find_first_of("\r\n", start);
            std::string_view line = Trimmed(text.substr(start, end == std::string_view::npos ? end : end - start));
            if (!IsBlank(line)) {
                bool found = false;
                for (const auto& site : Sites) found = found || site.Url == line;
                Require(found);
            }
            if (end == std::string_view::npos) break;
            start = end + 1;
        }
    }
    return 0;
}
