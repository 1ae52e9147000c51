#include "monitor/SiteList.h"

#include <algorithm>

namespace corvale {

std::vector<SiteLine> AcceptedSiteLines(std::string_view text) {
    std::vector<SiteLine> accepted;
    std::size_t start = 0;
    // Lines end in CR LF, LF or CR, as editors write them.
    while (start <= text.size() && accepted.size() < static_cast<std::size_t>(kMaxSites)) {
        const std::size_t end = text.find_first_of("\r\n", start);
        const bool last = end == std::string_view::npos;
        SiteLine line = ReadSiteLine(text.substr(start, last ? std::string_view::npos : end - start));
        const auto listed = [&line](const SiteLine& site) { return site.target == line.target; };
        if (line.kind == SiteLine::Kind::Site && std::none_of(accepted.begin(), accepted.end(), listed))
            accepted.push_back(std::move(line));
        if (last) break;
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return accepted;
}

std::string WithCrLfLineEnds(std::string_view text) {
    std::string result;
    result.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            result += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::vector<SiteRecord> CarrySiteState(const std::vector<SiteRecord>& old, const std::vector<SiteLine>& lines) {
    std::vector<SiteRecord> table(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto known = std::find_if(old.begin(), old.end(), [&](const SiteRecord& r) { return r.Url == lines[i].target; });
        if (known != old.end()) {
            table[i] = *known;
            table[i].RetryCount = 0;
        } else {
            table[i].Url = lines[i].target;
        }
        table[i].Name = lines[i].name;
    }
    return table;
}

}  // namespace corvale
