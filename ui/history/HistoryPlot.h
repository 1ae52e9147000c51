#pragma once
// A site's history drawn with GDI: round trips over time of day, the replies joined by a line
// (a column's range with its median where many share it), lost checks red, sleep grey, and
// gaps left empty; the time of day below, the round trip beside.

#include <windows.h>

#include <cstdint>
#include <span>

#include "monitor/SiteHistory.h"
#include "ui/history/LocaleFormat.h"
#include "ui/history/TimeAxis.h"

namespace corvale {

struct PlotInput {
    const SiteHistory& history;
    std::span<const SleepSpan> sleeps;
    TimeRange range;
    int64_t gapMs = 0;
    const LocaleFormat& format;
    HFONT font = nullptr;
};

// The part of `area` that shows the results: `area` without the room of the labels.
RECT PlotDataBox(HDC dc, const RECT& area, const PlotInput& input, int dpi);
// Draws over all of `area`; returns PlotDataBox.
RECT DrawHistoryPlot(HDC dc, const RECT& area, const PlotInput& input, int dpi);

}  // namespace corvale
