#pragma once
// A site's results laid into the pixel columns of a plot: per column how many came, how many
// were lost, and the range and median of the replies; the line joining the replies, broken
// where the results stop for a while (the program was not running, the site not in its list)
// or the computer slept; and the columns the computer slept through.

#include <cstdint>
#include <span>
#include <vector>

#include "monitor/SiteHistory.h"
#include "monitor/SiteStats.h"
#include "ui/history/TimeAxis.h"

namespace corvale {

struct PlotColumn {
    int32_t results = 0, lost = 0;
    int32_t minMs = 0, maxMs = 0, medianMs = 0;  // of its replies
    int32_t Replies() const { return results - lost; }
    double LostShare() const { return results ? static_cast<double>(lost) / results : 0; }
};

// A column's replies as one point of the line: their median.
struct LinePoint {
    int column = 0;  // the first and last point may lie beyond the columns, towards a result past the edge
    int32_t ms = 0;
    bool startsRun = false;  // not joined to the point before
    bool operator==(const LinePoint&) const = default;
};

struct PlotBins {
    std::vector<PlotColumn> columns;
    std::vector<LinePoint> line;
    int32_t largestMs = 0;  // the longest reply within the range
};

// How long without a result is a gap rather than a late round: a round runs longer than the
// interval while sites time out, so three intervals and a minute.
int64_t GapAfterMs(int64_t checkIntervalMs);

// The results within `range` (both ends included) in `width` columns, and the line through
// them on to the nearest result beyond each edge. `sleeps` need not be in order.
PlotBins BinResults(const SiteHistory& history, const TimeRange& range, int width, int64_t gapMs,
                    std::span<const SleepSpan> sleeps);

// Columns [from, to) the computer slept through, within `width`.
struct ColumnSpan {
    int from = 0, to = 0;
    bool operator==(const ColumnSpan&) const = default;
};
std::vector<ColumnSpan> SleepColumns(std::span<const SleepSpan> sleeps, const TimeRange& range, int width);

// The figures of the results within `range` (both ends included), jitter over the replies in
// the order they came.
RoundTripSummary SummarizeRange(const SiteHistory& history, const TimeRange& range);

}  // namespace corvale
