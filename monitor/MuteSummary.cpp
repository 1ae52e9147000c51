#include "monitor/MuteSummary.h"

#include <vector>

namespace corvale {
namespace {

bool Changed(bool known, bool before, bool now, bool to) { return known && before != to && now == to; }

std::string TwoDigits(int value) {
    std::string digits = std::to_string(value);
    if (digits.size() < 2) digits.insert(digits.begin(), '0');
    return digits;
}

}  // namespace

void MuteSummary::Add(AlertState state, std::string_view target) {
    auto site = changes_.find(target);
    if (site == changes_.end()) site = changes_.emplace(std::string(target), Site{}).first;
    Change* change = nullptr;
    bool value = false;
    switch (state) {
    case AlertState::Down:
    case AlertState::ConnectionDown: change = &site->second.answering; value = false; break;
    case AlertState::Up:
    case AlertState::ConnectionUp: change = &site->second.answering; value = true; break;
    case AlertState::Slow: change = &site->second.slow; value = true; break;
    case AlertState::Quick: change = &site->second.slow; value = false; break;
    case AlertState::Note: return;
    }
    if (!change->known) {
        change->known = true;
        change->before = !value;  // the first change tells how it stood before
    }
    change->now = value;
}

std::string MuteSummary::Text() const {
    const auto changed = [](const Change& change, bool to) { return Changed(change.known, change.before, change.now, to); };
    int stopped = 0, again = 0, slow = 0, quick = 0;
    std::vector<std::string> parts;
    for (const auto& [target, site] : changes_) {
        if (target.empty()) {
            if (changed(site.answering, false)) parts.emplace_back("the connection went down");
            if (changed(site.answering, true)) parts.emplace_back("the connection is back");
            continue;
        }
        stopped += changed(site.answering, false);
        again += changed(site.answering, true);
        slow += changed(site.slow, true);
        quick += changed(site.slow, false);
    }
    // "1 site stopped answering; 2 answer again": the first count names what it counts.
    bool named = false;
    const auto count = [&](int n, const char* one, const char* many) {
        if (n == 0) return;
        std::string part = std::to_string(n) + (named ? "" : n == 1 ? " site" : " sites");
        parts.push_back(part + " " + (n == 1 ? one : many));
        named = true;
    };
    count(stopped, "stopped answering", "stopped answering");
    count(again, "answers again", "answer again");
    count(slow, "answers slowly", "answer slowly");
    count(quick, "answers quickly again", "answer quickly again");
    if (parts.empty()) return {};
    std::string text = "While muted: ";
    for (std::size_t i = 0; i < parts.size(); ++i) text += (i > 0 ? "; " : "") + parts[i];
    return text;
}

AlertState MuteSummary::Tone() const {
    bool down = false, up = false;
    for (const auto& [target, site] : changes_) {
        const Change& c = site.answering;
        down = down || Changed(c.known, c.before, c.now, false);
        up = up || Changed(c.known, c.before, c.now, true);
    }
    return down ? AlertState::Down : up ? AlertState::Up : AlertState::Note;
}

std::string MutedTipSuffix(int hour, int minute) {
    return " (alerts muted until " + TwoDigits(hour) + ":" + TwoDigits(minute) + ")";
}

}  // namespace corvale
