#include "ui/history/HistoryView.h"

#include <algorithm>
#include <cmath>

namespace corvale {

int HistoryView::SpanChoice() const {
    const auto at = std::find(kSpanChoicesMs.begin(), kSpanChoicesMs.end(), spanMs_);
    return at == kSpanChoicesMs.end() ? -1 : static_cast<int>(at - kSpanChoicesMs.begin());
}

TimeRange HistoryView::Range(int64_t nowMs) const {
    const int64_t right = live_ ? nowMs : rightMs_;
    return {right - spanMs_, right};
}

void HistoryView::SetSpan(int64_t spanMs, int64_t nowMs) {
    const int64_t right = Range(nowMs).toMs;
    spanMs_ = std::clamp(spanMs, kShortestSpanMs, kLongestSpanMs);
    MoveRightEdgeTo(right, nowMs);
}

void HistoryView::ZoomAbout(double pointerFraction, double factor, int64_t nowMs) {
    const TimeRange range = Range(nowMs);
    const double fraction = std::clamp(pointerFraction, 0.0, 1.0);
    const double pointerMs = static_cast<double>(range.fromMs) + fraction * static_cast<double>(range.SpanMs());
    const int64_t span = std::clamp<int64_t>(std::llround(static_cast<double>(spanMs_) * factor), kShortestSpanMs,
                                             kLongestSpanMs);
    spanMs_ = span;
    MoveRightEdgeTo(std::llround(pointerMs + (1 - fraction) * static_cast<double>(span)), nowMs);
}

void HistoryView::MoveRightEdgeTo(int64_t rightMs, int64_t nowMs) {
    // No earlier than a day back for the left edge.
    const int64_t right = std::max(rightMs, nowMs - kLongestSpanMs + spanMs_);
    live_ = right >= nowMs;
    rightMs_ = live_ ? 0 : right;
}

}  // namespace corvale
