#include "monitor/SiteList.h"

#include <algorithm>

namespace corvale {

std::vector<SiteRecord> Sites;
int16_t SiteLast = -1;

namespace {

bool IsBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' '; });
}

}  // namespace

std::vector<std::string> AcceptedSiteLines(std::string_view text) {
    std::vector<std::string> accepted;
    std::size_t start = 0;
    // Only CR LF separates lines: a lone CR or LF is part of the line, as the list is
    // edited and written with CR LF throughout.
    while (start <= text.size() && accepted.size() < static_cast<std::size_t>(kMaxSites)) {
        std::size_t end = text.find("\r\n", start);
        bool last = end == std::string_view::npos;
        std::string_view line = text.substr(start, last ? std::string_view::npos : end - start);
        if (!IsBlankLine(line) &&
            std::find(accepted.begin(), accepted.end(), line) == accepted.end())
            accepted.emplace_back(line);
        if (last) break;
        start = end + 2;
    }
    return accepted;
}

void ParseSiteList(std::string_view text) {
    std::vector<std::string> lines = AcceptedSiteLines(text);
    std::vector<SiteRecord> table(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) table[i].Url = std::move(lines[i]);
    Sites = std::move(table);
    SiteLast = static_cast<int16_t>(static_cast<int>(Sites.size()) - 1);
}

}  // namespace corvale
