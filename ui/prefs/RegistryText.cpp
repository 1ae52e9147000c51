#include "ui/prefs/RegistryText.h"

namespace corvale {

uint32_t RegistryTextType(std::string_view text) {
    auto first = text.find('%');
    if (first == std::string_view::npos) return kRegSz;
    return text.find('%', first + 2) == std::string_view::npos ? kRegSz : kRegExpandSz;
}

}  // namespace corvale

namespace corvale {
namespace {

// The program path of a command: the quoted part when it starts with a quote, else all of it.
std::string_view CommandPath(std::string_view command) {
    const auto first = command.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    command.remove_prefix(first);
    if (command.front() == '"') {
        command.remove_prefix(1);
        return command.substr(0, command.find('"'));
    }
    return command.substr(0, command.find_last_not_of(" \t") + 1);
}

char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c == '/' ? '\\' : c; }

}  // namespace

bool SameStartupCommand(std::string_view entry, std::string_view ours) {
    const std::string_view a = CommandPath(entry), b = CommandPath(ours);
    if (a.empty() || a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Folded(a[i]) != Folded(b[i])) return false;
    return true;
}

}  // namespace corvale
