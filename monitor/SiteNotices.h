#pragma once
// Which sites stopped or started answering, or turned slow: fed with every result the check
// cycle shows, it gathers the changes of one round into one notice text for the
// notification area.
//
// Only a change is told. The first result of a site after the list was built has nothing
// to compare with and is silent. A site that answered is told as not responding only when
// a second shown result confirms it: a site that answered is checked once per round, so
// one lost packet would otherwise be enough for an alarm. The time it was down runs from
// the first failed result to the answer that ends it, on a clock that stands still while
// the computer sleeps.
//
// When every site of the list fails in the same round, the user's own connection is the
// likely cause: the round tells that once instead of a line per site, and the round in
// which sites answer again tells that once too.

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "monitor/ConnectionVerdict.h"

namespace corvale {

// The notification area takes at most this many characters of text.
inline constexpr std::size_t kNoticeMaxChars = 255;
// Lines of one notice; further changes are summed up in an "and N more" line.
inline constexpr std::size_t kNoticeMaxLines = 4;
// A site's text longer than this many characters is shortened in a notice, so four lines fit.
inline constexpr std::size_t kNoticeMaxSiteChars = 40;
// Slow: more than kSlowRoundTripMs in this many of the last kSlowWindow results; quick
// again after kQuickRun results in a row at or below it.
inline constexpr std::size_t kSlowWindow = 5;
inline constexpr std::size_t kSlowResults = 3;
inline constexpr std::size_t kQuickRun = 5;

inline constexpr const char* kConnectionDownText = "No site answers: the connection may be down";

// One line of a round's notice, with what it tells of.
struct NoticeLine {
    enum class Kind { Down, Up, Slow, Quick, ConnectionDown, ConnectionUp };
    Kind kind = Kind::Down;
    uint32_t site = 0;                   // the site it tells of; 0 for the connection
    std::optional<int32_t> roundTripMs;  // the reply it tells of, if any
    std::string text;
};

// What one round has to tell.
struct RoundNotice {
    std::vector<NoticeLine> lines;
    // The whole connection was found down in this round: the outage began then (seconds on
    // the clock that stands still while the computer sleeps).
    std::optional<double> connectionDownSince;
    // The sites answer again in this round, after an outage of the connection this long.
    std::optional<double> connectionUpAfter;

    bool Empty() const { return lines.empty(); }
    // The lines as the notification area shows them: four at most, the rest counted in an
    // "and N more" line, and fewer when long ones would not fit its 255 characters.
    std::string Text() const;
};

// Sites are known by a number of their own that stays theirs for as long as they stay in the
// list, wherever an edit of the list moves them.
class SiteNotices {
public:
    // One shown result of site `site`, whose text is `url`, at `now` seconds on a clock that
    // stands still while the computer sleeps.
    void Shown(uint32_t site, std::string_view url, bool answering, int32_t roundTripMs, double now);

    // The list was edited: sites not in `kept` are gone, with what was gathered of them. The
    // others keep their state, and an outage of the whole connection under way goes on.
    void KeepOnly(const std::set<uint32_t>& kept);

    // The computer woke up. The network may not be back yet: what is gathered is dropped and
    // the results up to the end of the next round tell nothing and change nothing (the
    // caller starts that round afresh at once).
    void Resumed();

    // The round ended: its changes ("" when nothing changed); gathering starts again. When
    // every site failed, `verdict` tells where the connection breaks: the notice that it is
    // down says so, and a new verdict while it stays down is one more line.
    RoundNotice EndRound(const ConnectionVerdict* verdict = nullptr);

private:
    enum class Seen { Nothing, Answering, FailedOnce, Down };
    using Change = NoticeLine::Kind;
    using Line = NoticeLine;
    struct Site {
        std::string url;
        Seen seen = Seen::Nothing;
        std::optional<double> downSince;  // the first failed result, when it was seen
        std::array<int32_t, kSlowWindow> recent{};  // round trips, 0 for no reply
        std::size_t recentCount = 0;
        bool slow = false;
        std::size_t quickRun = 0;
    };
    void NoteSpeed(Site& site, uint32_t id, bool answering, int32_t roundTripMs);
    void EndOfOutage(std::vector<Line>& lines, double now);
    bool Told(const std::vector<Line>& lines, Change change, uint32_t site) const;

    std::map<uint32_t, Site> sites_;
    std::vector<Line> lines_;
    std::size_t roundResults_ = 0, roundFailures_ = 0;
    double lastResultAt_ = 0;
    bool quietRound_ = false;
    // The connection seems down: since when, and which sites were down before it.
    std::optional<double> outageSince_;
    std::set<uint32_t> downBeforeOutage_;
    std::optional<ConnectionVerdict> toldVerdict_;  // the verdict the outage's lines told last
};

}  // namespace corvale
