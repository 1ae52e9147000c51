#include "ui/history/HistoryBins.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace corvale {
namespace {

// Whether the time between two results, in time order, is a gap. The sleeps are in order of
// their start, and `next` is the first that may still matter: results only move on.
class GapFinder {
public:
    GapFinder(std::span<const SleepSpan> sleeps, int64_t gapMs) : sleeps_(sleeps.begin(), sleeps.end()), gapMs_(gapMs) {
        std::sort(sleeps_.begin(), sleeps_.end(),
                  [](const SleepSpan& a, const SleepSpan& b) { return a.fromMs < b.fromMs; });
    }
    bool Between(int64_t earlierMs, int64_t laterMs) {
        if (laterMs - earlierMs > gapMs_) return true;
        while (next_ < sleeps_.size() && sleeps_[next_].toMs <= earlierMs) ++next_;
        for (std::size_t i = next_; i < sleeps_.size() && sleeps_[i].fromMs < laterMs; ++i)
            if (sleeps_[i].toMs > earlierMs) return true;
        return false;
    }

private:
    std::vector<SleepSpan> sleeps_;
    int64_t gapMs_;
    std::size_t next_ = 0;
};

}  // namespace

int64_t GapAfterMs(int64_t checkIntervalMs) { return 3 * std::max<int64_t>(checkIntervalMs, 1000) + kMinuteMs; }

PlotBins BinResults(const SiteHistory& history, const TimeRange& range, int width, int64_t gapMs,
                    std::span<const SleepSpan> sleeps) {
    PlotBins bins;
    if (width <= 0 || range.SpanMs() <= 0) return bins;
    bins.columns.resize(static_cast<std::size_t>(width));
    const std::size_t first = history.FirstAtOrAfter(range.fromMs);
    const std::size_t afterLast = history.FirstAtOrAfter(range.toMs + 1);
    const std::size_t begin = first > 0 ? first - 1 : 0;
    const std::size_t end = std::min(afterLast + 1, history.Count());

    GapFinder gaps(sleeps, gapMs);
    std::vector<int32_t> replies;  // of the column at hand
    int column = INT_MIN;
    bool gapBefore = false;  // between the last point's column and the column at hand
    const auto finishColumn = [&] {
        if (replies.empty()) return;
        const auto middle = replies.begin() + static_cast<std::ptrdiff_t>(replies.size() / 2);
        std::nth_element(replies.begin(), middle, replies.end());
        const auto [low, high] = std::minmax_element(replies.begin(), replies.end());
        if (column >= 0 && column < width) {
            PlotColumn& shown = bins.columns[static_cast<std::size_t>(column)];
            shown.minMs = *low;
            shown.maxMs = *high;
            shown.medianMs = *middle;
            bins.largestMs = std::max(bins.largestMs, *high);
        }
        bins.line.push_back({column, *middle, gapBefore || bins.line.empty()});
        gapBefore = false;
        replies.clear();
    };
    for (std::size_t i = begin; i < end; ++i) {
        const TimedResult& result = history[i];
        const bool inside = result.atMs >= range.fromMs && result.atMs <= range.toMs;
        const int at = inside ? std::min(ColumnAt(result.atMs, range, width), width - 1) : ColumnAt(result.atMs, range, width);
        const bool gap = i > begin && gaps.Between(history[i - 1].atMs, result.atMs);
        if (at != column) {
            finishColumn();
            column = at;
            gapBefore = gapBefore || gap;
        }
        if (inside) {
            PlotColumn& shown = bins.columns[static_cast<std::size_t>(at)];
            ++shown.results;
            if (!result.Answered()) ++shown.lost;
        }
        if (result.Answered()) replies.push_back(result.roundTripMs);
    }
    finishColumn();
    return bins;
}

std::vector<ColumnSpan> SleepColumns(std::span<const SleepSpan> sleeps, const TimeRange& range, int width) {
    std::vector<ColumnSpan> columns;
    for (const SleepSpan& sleep : sleeps) {
        if (sleep.toMs < range.fromMs || sleep.fromMs > range.toMs || sleep.toMs <= sleep.fromMs) continue;
        const int from = std::clamp(ColumnAt(sleep.fromMs, range, width), 0, width);
        const int to = std::clamp(ColumnAt(sleep.toMs, range, width) + 1, 0, width);
        if (to > from) columns.push_back({from, to});
    }
    return columns;
}

RoundTripSummary SummarizeRange(const SiteHistory& history, const TimeRange& range) {
    // The same running figures as a site's tooltip keeps, over the results of the span.
    SiteStats::Totals totals;
    for (std::size_t i = history.FirstAtOrAfter(range.fromMs); i < history.Count() && history[i].atMs <= range.toMs; ++i)
        totals.Add(history[i].Answered(), history[i].roundTripMs);
    return totals.Summary();
}

}  // namespace corvale
