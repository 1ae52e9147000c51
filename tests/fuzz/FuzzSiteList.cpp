// Any bytes as a site list file: its text, then the sites it holds. The table must stay within
// its bounds and hold only sites that the text really has (a line's first word, each target
// once, in the text's order, no notes), with names that are one line without blanks around.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "monitor/SiteList.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

bool Blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corvale;
    bool lossy = false;
    const std::string text = SitesTextFromFile(std::string(reinterpret_cast<const char*>(data), size), &lossy);
    Require(text.find('\0') == std::string::npos);
    const std::vector<SiteLine> lines = AcceptedSiteLines(text);
    const std::vector<SiteRecord> sites = CarrySiteState({}, lines);
    Require(sites.size() == lines.size() && sites.size() <= static_cast<std::size_t>(kMaxSites));
    std::size_t searchFrom = 0;
    for (std::size_t i = 0; i < sites.size(); ++i) {
        const SiteRecord& site = sites[i];
        Require(!site.Url.empty() && site.Url.front() != '#');
        Require(std::none_of(site.Url.begin(), site.Url.end(), [](char c) { return Blank(c) || c == '\r' || c == '\n'; }));
        Require(site.Name.find_first_of("\r\n") == std::string::npos);
        Require(site.Name.empty() || (!Blank(site.Name.front()) && !Blank(site.Name.back())));
        Require(site.PingMs == 0 && site.RetryCount == 0 && !site.NotResponding && !site.Checked());
        for (std::size_t j = 0; j < i; ++j) Require(sites[j].Url != site.Url);
        // Sites come in the order of the text.
        const std::size_t at = text.find(site.Url, searchFrom);
        Require(at != std::string::npos);
        searchFrom = at + site.Url.size();
    }
    // Fewer than twenty sites: every line that is neither blank nor a note gave its first word.
    if (sites.size() < static_cast<std::size_t>(kMaxSites)) {
        for (std::size_t start = 0; start <= text.size();) {
            const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
            const SiteLine line = ReadSiteLine(std::string_view(text).substr(start, end - start));
            if (line.kind == SiteLine::Kind::Site)
                Require(std::any_of(sites.begin(), sites.end(), [&](const SiteRecord& s) { return s.Url == line.target; }));
            start = end + 1;
        }
    }
    return 0;
}
