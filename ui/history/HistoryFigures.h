#pragma once
// The line of figures under a history plot, in the tooltip's words, for exactly the span
// shown: "120 results, 3 lost (2.5 %), 12 / 20 / 48 ms, jitter 4 ms".

#include <string>

#include "monitor/SiteStats.h"
#include "ui/history/LocaleFormat.h"

namespace corvale {

// Range, average and jitter as whole milliseconds; "-" for each where there is no reply (and
// for the jitter with a single reply).
std::string FiguresLine(const RoundTripSummary& summary, const LocaleFormat& format);

}  // namespace corvale
