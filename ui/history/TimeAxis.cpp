#include "ui/history/TimeAxis.h"

#include <algorithm>

namespace corvale {
namespace {

constexpr int64_t kDayMs = 24 * kHourMs;

int64_t FloorDiv(int64_t value, int64_t by) { return value / by - (value % by != 0 && (value < 0) != (by < 0) ? 1 : 0); }

}  // namespace

int ColumnAt(int64_t atMs, const TimeRange& range, int width) {
    const int64_t span = range.SpanMs();
    if (span <= 0 || width <= 0) return 0;
    const int64_t column = FloorDiv((atMs - range.fromMs) * width, span);
    return static_cast<int>(std::clamp<int64_t>(column, -width - 1, 2LL * width + 1));
}

int64_t TimeLabelStepMs(int64_t spanMs, int width, int minSpacing) {
    for (int64_t step : kTimeLabelStepsMs)
        if (step * std::max(width, 0) >= static_cast<int64_t>(std::max(minSpacing, 1)) * spanMs) return step;
    return kTimeLabelStepsMs.back();
}

std::vector<TimeTick> TimeAxisTicks(const TimeRange& range, int width, int minSpacing, int offsetMinutes) {
    std::vector<TimeTick> ticks;
    if (range.SpanMs() <= 0 || width <= 0) return ticks;
    const int64_t step = TimeLabelStepMs(range.SpanMs(), width, minSpacing);
    const int64_t offset = offsetMinutes * kMinuteMs;
    // Round on the user's clock: 6-hour labels at local midnight, 06:00, ...
    for (int64_t local = FloorDiv(range.fromMs + offset + step - 1, step) * step; local - offset <= range.toMs;
         local += step) {
        const int64_t ofDay = local - FloorDiv(local, kDayMs) * kDayMs;
        ticks.push_back({local - offset, ColumnAt(local - offset, range, width), static_cast<int>(ofDay / kHourMs),
                         static_cast<int>(ofDay % kHourMs / kMinuteMs)});
    }
    return ticks;
}

ValueAxis ValueAxisFor(int32_t largestMs, int maxSteps) {
    const int64_t largest = largestMs > 0 ? largestMs : 99;
    const int64_t steps = std::max(maxSteps, 1);
    for (int64_t power = 1;; power *= 10)
        for (int64_t factor : {1, 2, 5}) {
            const int64_t step = factor * power;
            const int64_t count = largest / step + 1;  // the first multiple above
            if (count <= steps) return {static_cast<int32_t>(count * step), static_cast<int32_t>(step)};
        }
}

}  // namespace corvale
