#include "monitor/SiteLine.h"

#include <algorithm>

namespace corvale {

SiteLine ReadSiteLine(std::string_view line) {
    constexpr std::string_view kBlanks = " \t";
    SiteLine read;
    const std::size_t first = line.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return read;
    if (line[first] == '#') {
        read.kind = SiteLine::Kind::Comment;
        return read;
    }
    read.kind = SiteLine::Kind::Site;
    const std::size_t targetEnd = std::min(line.find_first_of(kBlanks, first), line.size());
    read.target = line.substr(first, targetEnd - first);
    const std::size_t nameStart = line.find_first_not_of(kBlanks, targetEnd);
    if (nameStart != std::string_view::npos)
        read.name = line.substr(nameStart, line.find_last_not_of(kBlanks) - nameStart + 1);
    return read;
}

}  // namespace corvale
