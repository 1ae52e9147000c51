#include "monitor/SiteList.h"

#include <algorithm>

namespace corvale {

namespace {

// What a line holds without the spaces and tabs around it.
std::string_view Trimmed(std::string_view line) {
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return line.substr(first, line.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::vector<std::string> AcceptedSiteLines(std::string_view text) {
    std::vector<std::string> accepted;
    std::size_t start = 0;
    // Lines end in CR LF, LF or CR, as editors write them.
    while (start <= text.size() && accepted.size() < static_cast<std::size_t>(kMaxSites)) {
        const std::size_t end = text.find_first_of("\r\n", start);
        const bool last = end == std::string_view::npos;
        const std::string_view line = Trimmed(text.substr(start, last ? std::string_view::npos : end - start));
        if (!line.empty() && std::find(accepted.begin(), accepted.end(), line) == accepted.end())
            accepted.emplace_back(line);
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

}  // namespace corvale
