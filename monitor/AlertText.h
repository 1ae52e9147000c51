#pragma once
// What an alert says on the channels beyond the balloon: the fields of a notice's lines that a
// command line or a web hook body names with placeholders (%NAME%, %TARGET%, %STATE%, %RTT%,
// %TIME%, %MESSAGE%), and the texts made from them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvale {

enum class AlertState {
    Down,
    Up,
    Slow,
    Quick,
    ConnectionDown,
    ConnectionUp,
    Note,  // a line about no one site's change (the summary of a mute, a channel's failure)
};

// "down", "up", "slow", "quick", "connection down", "connection up"; empty for a note.
const char* AlertStateText(AlertState state);

// One line of a notice, with what it is about.
struct AlertLine {
    AlertState state = AlertState::Note;
    std::string target;  // the site's target; empty for the connection and notes
    std::string name;    // the user's name for it; empty when it has none
    std::optional<int32_t> roundTripMs;  // the reply the line tells of, if any
    std::string message;  // the line as the notice shows it
};

// The notice of one round (or of a mute's end).
struct AlertNotice {
    std::string time;  // when, as the log writes it (IsoLocalTime)
    std::vector<AlertLine> lines;
};

// What the placeholders stand for.
struct AlertFields {
    std::string name, target, state, rtt, time, message;
};

// The fields of one line: %NAME% is the name, else the target.
AlertFields LineFields(const AlertNotice& notice, std::size_t line);
// The fields of a whole notice: each the lines' values joined by newlines (%TIME% once).
AlertFields NoticeFields(const AlertNotice& notice);

// `text` with each placeholder (any letter case) replaced by its field; anything else, an unknown
// %WORD% too, stays as written. A field is put in once, never read for placeholders itself;
// `json` puts it in escaped for the inside of a JSON string.
std::string ExpandPlaceholders(std::string_view text, const AlertFields& fields, bool json = false);

// The system sound alias a notice plays, so the user's own sound scheme applies: "SystemHand"
// when a line tells a site or the connection going down, else "SystemAsterisk" when one tells one
// coming back; empty when it tells neither.
const char* AlertSoundAlias(const AlertNotice& notice);

// `text` escaped for the inside of a JSON string (quotes, backslashes, control characters).
std::string JsonEscaped(std::string_view text);

}  // namespace corvale
