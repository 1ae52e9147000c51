#pragma once
// While alerts are muted, the changes the notices tell are gathered here; when the mute ends,
// one line says how things stand compared with when it began ("While muted: 2 sites stopped
// answering; 1 answers again"). A site that went down and came back meanwhile has not changed.

#include <map>
#include <string>
#include <string_view>

#include "monitor/AlertText.h"

namespace corvale {

class MuteSummary {
public:
    // One line a notice told while muted: a site's change by its target, or the connection's.
    void Add(AlertState state, std::string_view target);
    // The line for the mute's end; empty when nothing stands changed.
    std::string Text() const;
    // What the line tells on the channels that know only down and back (the sound): Down when a
    // site or the connection stopped answering, else Up when one answers again, else Note.
    AlertState Tone() const;
    void Clear() { changes_.clear(); }

private:
    // Of one site (the connection under an empty target), per kind of change: how it stood
    // before the mute and how it stands now.
    struct Change {
        bool known = false;
        bool before = false;
        bool now = false;
    };
    struct Site {
        Change answering;  // true: answers
        Change slow;       // true: slow
    };
    std::map<std::string, Site, std::less<>> changes_;
};

// The end of the tray tip's state line while muted: " (alerts muted until 14:05)".
std::string MutedTipSuffix(int hour, int minute);

}  // namespace corvale
