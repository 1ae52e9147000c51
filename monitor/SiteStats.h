#pragma once
// What one round-trip time hides: per site, how many replies were lost, the best, average
// and worst and how much the time wanders, over any run of results (the last ten of its
// history, a span of its timeline) and, kept as running totals, since the list was built.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <span>
#include <string_view>

#include "monitor/SiteHistory.h"

namespace corvale {

// The figures of a run of results. Range and jitter exist only with replies (jitter with at
// least two), so nothing is ever divided by zero.
struct RoundTripSummary {
    int64_t results = 0;
    int64_t replies = 0;
    int64_t Lost() const { return results - replies; }
    double LossPercent() const { return results ? 100.0 * static_cast<double>(Lost()) / results : 0; }
    std::optional<int32_t> minMs, maxMs;
    std::optional<double> averageMs;
    // The mean absolute difference between consecutive replies, in the order they came.
    std::optional<double> jitterMs;
};

// The figures of `results`, oldest first.
RoundTripSummary Summarise(std::span<const TimedResult> results);
// The figures of a site's last ten results (fewer while it has fewer).
inline constexpr std::size_t kRecentResults = 10;
RoundTripSummary RecentSummary(const SiteHistory& history);

// Running figures of a site since the list was built, kept without the results themselves.
class SiteStats {
public:
    // One shown result at `now` (seconds on a clock that stands still while the computer
    // sleeps): a reply of `roundTripMs`, or none.
    void Add(bool answered, int32_t roundTripMs, double now);

    bool Empty() const { return total_.results == 0; }
    RoundTripSummary SinceBuilt() const { return total_.Summary(); }
    // How long the site has not answered, from its first failed result on; nothing while it
    // answers or before its first result.
    std::optional<double> DownFor(double now) const;
    // The `now` of the last result.
    double LastResultAt() const { return lastResultAt_; }

    struct Totals {
        int64_t results = 0, replies = 0, sumMs = 0;
        int32_t minMs = 0, maxMs = 0;
        int64_t jitterSumMs = 0, jitterSteps = 0;
        int32_t lastReplyMs = 0;
        void Add(bool answered, int32_t roundTripMs);
        RoundTripSummary Summary() const;
    };

private:
    Totals total_;
    std::optional<double> downSince_;
    double lastResultAt_ = 0;
};

// "Last 10: 1 lost (10 %), 12 / 20 / 48 ms, jitter 4 ms" (minimum / average / maximum); the
// count is that of the results there are, up to ten.
std::string RecentStatsLine(const RoundTripSummary& recent);
// "Since 14:02: 2 of 345 lost (0.6 %)", `builtAt` being the time the list was built as the
// user's clock shows it.
std::string SinceBuiltLine(std::string_view builtAt, const RoundTripSummary& total);
// A percentage with one decimal at most: "10", "0.6", "33.3".
std::string PercentText(double percent);

}  // namespace corvale
