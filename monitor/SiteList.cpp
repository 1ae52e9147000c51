#include "monitor/SiteList.h"

#include <algorithm>

namespace corvale {

std::vector<SiteRecord> Sites;
int16_t SiteLast = -1;

namespace {

bool IsBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' '; });
}

void SetTable(std::vector<SiteRecord> table) {
    Sites = std::move(table);
    SiteLast = static_cast<int16_t>(static_cast<int>(Sites.size()) - 1);
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

std::vector<SiteRecord> CarrySiteState(const std::vector<SiteRecord>& old, const std::vector<std::string>& lines) {
    std::vector<SiteRecord> table(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto known = std::find_if(old.begin(), old.end(), [&](const SiteRecord& r) { return r.Url == lines[i]; });
        if (known != old.end()) {
            table[i] = *known;
            table[i].RetryCount = 0;
        } else {
            table[i].Url = lines[i];
        }
    }
    return table;
}

void ParseSiteList(std::string_view text) { SetTable(CarrySiteState({}, AcceptedSiteLines(text))); }

void UpdateSiteList(std::string_view text) { SetTable(CarrySiteState(Sites, AcceptedSiteLines(text))); }

}  // namespace corvale
