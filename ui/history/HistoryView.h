#pragma once
// What part of the last day a history shows: a span, and where it ends, which is either now
// (live: the view follows the results as they come) or a moment in the past the user chose
// (it stays there). Every change keeps the view within the day held and at most at now.

#include <array>
#include <cstdint>

#include "monitor/SiteHistory.h"
#include "ui/history/TimeAxis.h"

namespace corvale {

inline constexpr std::array<int64_t, 4> kSpanChoicesMs{15 * kMinuteMs, kHourMs, 6 * kHourMs, 24 * kHourMs};
inline constexpr int64_t kShortestSpanMs = kMinuteMs;
inline constexpr int64_t kLongestSpanMs = kHistoryKeptMs;
inline constexpr int64_t kFirstSpanMs = kHourMs;

class HistoryView {
public:
    int64_t SpanMs() const { return spanMs_; }
    bool Live() const { return live_; }
    // The index of the span among kSpanChoicesMs; -1 for a span zoomed to.
    int SpanChoice() const;
    TimeRange Range(int64_t nowMs) const;

    // A span ending where the view ends now.
    void SetSpan(int64_t spanMs, int64_t nowMs);
    // Zooms by `factor` (below 1: in) about the moment `pointerFraction` across the view
    // (0 its left edge, 1 its right), which stays where it is on screen.
    void ZoomAbout(double pointerFraction, double factor, int64_t nowMs);
    // Ends the view at `rightMs`; at now or later, the view goes live.
    void MoveRightEdgeTo(int64_t rightMs, int64_t nowMs);
    void MoveBy(int64_t ms, int64_t nowMs) { MoveRightEdgeTo(Range(nowMs).toMs + ms, nowMs); }
    void GoLive() { live_ = true; }

private:
    int64_t spanMs_ = kFirstSpanMs;
    bool live_ = true;
    int64_t rightMs_ = 0;  // while not live
};

}  // namespace corvale
