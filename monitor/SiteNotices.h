#pragma once
// Which sites stopped or started answering: fed with every result the check cycle shows,
// it gathers the changes of one round into one notice text for the notification area.
//
// Only a change is told. The first result of a site after the list was built has nothing
// to compare with and is silent. A site that answered is told as not responding only when
// a second shown result confirms it: a site that answered is checked once per round, so
// one lost packet would otherwise be enough for an alarm. The time it was down runs from
// the first failed result to the answer that ends it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvale {

// The notification area takes at most this many characters of text.
inline constexpr std::size_t kNoticeMaxChars = 255;
// Lines of one notice; further changes are summed up in an "and N more" line.
inline constexpr std::size_t kNoticeMaxLines = 4;
// A site's text longer than this is shortened in a notice, so four lines fit.
inline constexpr std::size_t kNoticeMaxSiteChars = 40;

// "45 s", "3 min 20 s", "2 h 5 min": a duration in whole seconds, to its two largest units.
std::string DownTimeText(float seconds);

class SiteNotices {
public:
    // The list was built afresh: every site starts without an earlier state, and the
    // changes gathered so far are dropped.
    void Restart();

    // One shown result of site `index`, whose text is `url`, at `now` seconds since
    // midnight. A different text at the same index is a new site.
    void Shown(std::size_t index, std::string_view url, bool answering, int32_t roundTripMs, float now);

    // The round ended: the text of its changes, one per line ("" when nothing changed).
    // Gathering starts again.
    std::string EndRound();

private:
    enum class Seen { Nothing, Answering, FailedOnce, Down };
    struct Site {
        std::string url;
        Seen seen = Seen::Nothing;
        bool downSinceKnown = false;
        float downSince = 0;  // seconds since midnight of the first failed result
    };
    void Gather(std::string line);

    std::vector<Site> sites_;
    std::vector<std::string> lines_;  // at most kNoticeMaxLines
    std::size_t moreLines_ = 0;       // changes beyond those
};

}  // namespace corvale
