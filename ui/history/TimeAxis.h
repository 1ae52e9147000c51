#pragma once
// The scales of a history plot: where a moment falls among the plot's pixel columns, the
// round times of day that label the time axis, and the round trips the value axis runs to.

#include <array>
#include <cstdint>
#include <vector>

namespace corvale {

inline constexpr int64_t kMinuteMs = 60'000;
inline constexpr int64_t kHourMs = 60 * kMinuteMs;

// From `fromMs` to `toMs` inclusive, milliseconds since 1970-01-01 UTC.
struct TimeRange {
    int64_t fromMs = 0, toMs = 0;
    int64_t SpanMs() const { return toMs - fromMs; }
    bool operator==(const TimeRange&) const = default;
};

// The column of a moment in a plot `width` columns wide showing `range`: negative before the
// range, `width` or more after it (and for its very end).
int ColumnAt(int64_t atMs, const TimeRange& range, int width);

// Label steps, smallest first. The minute steps serve views zoomed in below a quarter hour.
inline constexpr std::array<int64_t, 10> kTimeLabelStepsMs{
    kMinuteMs,      2 * kMinuteMs, 5 * kMinuteMs, 10 * kMinuteMs, 15 * kMinuteMs,
    30 * kMinuteMs, kHourMs,       2 * kHourMs,   3 * kHourMs,    6 * kHourMs};

// The smallest step whose labels lie at least `minSpacing` pixels apart (the largest step where
// none does).
int64_t TimeLabelStepMs(int64_t spanMs, int width, int minSpacing);

struct TimeTick {
    int64_t atMs = 0;
    int column = 0;
    int hour = 0, minute = 0;  // on the user's clock
};
// The labelled moments within `range`: round times on a clock `offsetMinutes` east of UTC.
std::vector<TimeTick> TimeAxisTicks(const TimeRange& range, int width, int minSpacing, int offsetMinutes);

// The value axis: from 0 to `topMs` in steps of `stepMs`.
struct ValueAxis {
    int32_t topMs = 0, stepMs = 0;
    bool operator==(const ValueAxis&) const = default;
};
// The axis for round trips up to `largestMs`: a step of 1, 2 or 5 times a power of ten, and
// the first multiple of it above `largestMs`, in at most `maxSteps` steps. Without any round
// trip (0), the axis runs to 100 ms.
ValueAxis ValueAxisFor(int32_t largestMs, int maxSteps);

}  // namespace corvale
