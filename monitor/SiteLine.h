#pragma once
// One line of the site list as the user writes it: the target first, then, after spaces or tabs,
// a name of the user's own for it ("192.168.1.1  Router"). A line starting with "#" is a note
// of the user's, kept in the file as written and never a site; a "#" further on belongs to the
// target (a web address's fragment) or to the name.

#include <string>
#include <string_view>

namespace corvale {

struct SiteLine {
    enum class Kind { Blank, Comment, Site };
    Kind kind = Kind::Blank;
    std::string target;  // the first word; empty unless a site
    std::string name;    // the rest without the spaces and tabs around it; may be empty
};

// The line without its line end. Only spaces and tabs separate: a line of them alone is blank,
// and a "#" after them still starts a note (no target begins with one).
SiteLine ReadSiteLine(std::string_view line);

// What the user calls the site: its name, or its target when it has none.
inline const std::string& ShownName(const SiteLine& line) { return line.name.empty() ? line.target : line.name; }

}  // namespace corvale
