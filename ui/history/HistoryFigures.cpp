#include "ui/history/HistoryFigures.h"

#include <cmath>

namespace corvale {

std::string FiguresLine(const RoundTripSummary& summary, const LocaleFormat& format) {
    const auto whole = [&format](double ms) { return format.Integer(std::llround(ms)); };
    std::string line = format.Integer(summary.results) + " results, " + format.Integer(summary.Lost()) + " lost (" +
                       format.Decimal(summary.LossPercent(), 1) + " %), ";
    if (summary.averageMs)
        line += format.Integer(*summary.minMs) + " / " + whole(*summary.averageMs) + " / " + format.Integer(*summary.maxMs) +
                " ms";
    else
        line += "- / - / - ms";
    line += ", jitter " + (summary.jitterMs ? whole(*summary.jitterMs) + " ms" : std::string("-"));
    return line;
}

}  // namespace corvale
