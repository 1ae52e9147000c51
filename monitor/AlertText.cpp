#include "monitor/AlertText.h"

#include <array>
#include <cctype>
#include <utility>

namespace corvale {
namespace {

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != static_cast<unsigned char>(b[i])) return false;
    return true;
}

// The field a placeholder's word names; null for any other word.
const std::string* Field(std::string_view word, const AlertFields& fields) {
    const std::array<std::pair<std::string_view, const std::string*>, 6> named{{
        {"NAME", &fields.name},
        {"TARGET", &fields.target},
        {"STATE", &fields.state},
        {"RTT", &fields.rtt},
        {"TIME", &fields.time},
        {"MESSAGE", &fields.message},
    }};
    for (const auto& [placeholder, field] : named)
        if (SameLetters(word, placeholder)) return field;
    return nullptr;
}

}  // namespace

const char* AlertStateText(AlertState state) {
    switch (state) {
    case AlertState::Down: return "down";
    case AlertState::Up: return "up";
    case AlertState::Slow: return "slow";
    case AlertState::Quick: return "quick";
    case AlertState::ConnectionDown: return "connection down";
    case AlertState::ConnectionUp: return "connection up";
    case AlertState::Note: break;
    }
    return "";
}

AlertFields LineFields(const AlertNotice& notice, std::size_t index) {
    const AlertLine& line = notice.lines.at(index);
    return {line.name.empty() ? line.target : line.name,
            line.target,
            AlertStateText(line.state),
            line.roundTripMs ? std::to_string(*line.roundTripMs) : std::string(),
            notice.time,
            line.message};
}

AlertFields NoticeFields(const AlertNotice& notice) {
    AlertFields joined;
    joined.time = notice.time;
    for (std::size_t i = 0; i < notice.lines.size(); ++i) {
        const AlertFields line = LineFields(notice, i);
        for (auto field : {&AlertFields::name, &AlertFields::target, &AlertFields::state, &AlertFields::rtt,
                           &AlertFields::message}) {
            if (i > 0) joined.*field += '\n';
            joined.*field += line.*field;
        }
    }
    return joined;
}

std::string ExpandPlaceholders(std::string_view text, const AlertFields& fields, bool json) {
    std::string expanded;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = text.find('%', i);
        const std::size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
        if (close == std::string_view::npos) break;
        expanded.append(text, i, open - i);
        if (const std::string* field = Field(text.substr(open + 1, close - open - 1), fields)) {
            expanded += json ? JsonEscaped(*field) : *field;
            i = close + 1;
        } else {
            expanded += '%';  // not a placeholder: its closing "%" may open the next one
            i = open + 1;
        }
    }
    expanded.append(text.substr(i));
    return expanded;
}

const char* AlertSoundAlias(const AlertNotice& notice) {
    const auto tells = [&](AlertState site, AlertState connection) {
        for (const AlertLine& line : notice.lines)
            if (line.state == site || line.state == connection) return true;
        return false;
    };
    if (tells(AlertState::Down, AlertState::ConnectionDown)) return "SystemHand";
    if (tells(AlertState::Up, AlertState::ConnectionUp)) return "SystemAsterisk";
    return "";
}

std::string JsonEscaped(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '"': escaped += "\\\""; break;
        case '\\': escaped += "\\\\"; break;
        case '\n': escaped += "\\n"; break;
        case '\r': escaped += "\\r"; break;
        case '\t': escaped += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                static constexpr char kHex[] = "0123456789abcdef";
                escaped += "\\u00";
                escaped += kHex[(c >> 4) & 0xF];
                escaped += kHex[c & 0xF];
            } else {
                escaped += c;
            }
        }
    }
    return escaped;
}

}  // namespace corvale
