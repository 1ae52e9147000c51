#include "monitor/SiteStats.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace corvale {
namespace {

std::string Milliseconds(double ms) { return std::to_string(std::llround(ms)); }

}  // namespace

void SiteStats::Totals::Add(bool answered, int32_t ms) {
    ++results;
    if (!answered) return;
    if (replies > 0) {
        jitterSumMs += std::llabs(static_cast<int64_t>(ms) - lastReplyMs);
        ++jitterSteps;
    }
    minMs = replies ? std::min(minMs, ms) : ms;
    maxMs = replies ? std::max(maxMs, ms) : ms;
    sumMs += ms;
    ++replies;
    lastReplyMs = ms;
}

RoundTripSummary SiteStats::Totals::Summary() const {
    RoundTripSummary summary;
    summary.results = results;
    summary.replies = replies;
    if (replies > 0) {
        summary.minMs = minMs;
        summary.maxMs = maxMs;
        summary.averageMs = static_cast<double>(sumMs) / static_cast<double>(replies);
    }
    if (jitterSteps > 0) summary.jitterMs = static_cast<double>(jitterSumMs) / static_cast<double>(jitterSteps);
    return summary;
}

void SiteStats::Add(bool answered, int32_t roundTripMs, double now) {
    total_.Add(answered, roundTripMs);
    lastResultAt_ = now;
    if (answered) downSince_.reset();
    else if (!downSince_) downSince_ = now;
}

RoundTripSummary Summarise(std::span<const TimedResult> results) {
    SiteStats::Totals totals;
    for (const TimedResult& result : results) totals.Add(result.Answered(), result.roundTripMs);
    return totals.Summary();
}

RoundTripSummary RecentSummary(const SiteHistory& history) {
    const std::vector<TimedResult> recent = history.Last(kRecentResults);
    return Summarise(recent);
}

std::optional<double> SiteStats::DownFor(double now) const {
    if (!downSince_) return std::nullopt;
    return std::max(0.0, now - *downSince_);
}

std::string PercentText(double percent) {
    const long long tenths = std::llround(percent * 10);
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0) text += "." + std::to_string(tenths % 10);
    return text;
}

std::string RecentStatsLine(const RoundTripSummary& recent) {
    std::string line = "Last " + std::to_string(recent.results) + ": " + std::to_string(recent.Lost()) + " lost (" +
                       PercentText(recent.LossPercent()) + " %), ";
    if (recent.averageMs)
        line += std::to_string(*recent.minMs) + " / " + Milliseconds(*recent.averageMs) + " / " +
                std::to_string(*recent.maxMs) + " ms";
    else
        line += "- / - / - ms";
    line += ", jitter " + (recent.jitterMs ? Milliseconds(*recent.jitterMs) + " ms" : std::string("-"));
    return line;
}

std::string SinceBuiltLine(std::string_view builtAt, const RoundTripSummary& total) {
    return "Since " + std::string(builtAt) + ": " + std::to_string(total.Lost()) + " of " +
           std::to_string(total.results) + " lost (" + PercentText(total.LossPercent()) + " %)";
}

}  // namespace corvale
