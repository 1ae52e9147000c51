#include "monitor/SiteHistory.h"

#include <algorithm>

namespace corvale {

void SiteHistory::Add(const TimedResult& result) {
    results_.push_back(result);
    DropOlderThan(result.atMs - kHistoryKeptMs);
}

void SiteHistory::AddOlder(std::span<const TimedResult> older) {
    if (older.empty()) return;
    const int64_t before = results_.empty() ? INT64_MAX : results_.front().atMs;
    const int64_t after = (results_.empty() ? older.back().atMs : results_.back().atMs) - kHistoryKeptMs;
    std::vector<TimedResult> taken;
    for (const TimedResult& result : older)
        if (result.atMs < before && result.atMs >= after) taken.push_back(result);
    // An earlier run's rows are written in time order, but a clock set back may break that.
    std::stable_sort(taken.begin(), taken.end(),
                     [](const TimedResult& a, const TimedResult& b) { return a.atMs < b.atMs; });
    results_.insert(results_.begin(), taken.begin(), taken.end());
}

std::vector<TimedResult> SiteHistory::Last(std::size_t count) const {
    const std::size_t n = std::min(count, results_.size());
    return {results_.end() - static_cast<std::ptrdiff_t>(n), results_.end()};
}

std::size_t SiteHistory::FirstAtOrAfter(int64_t atMs) const {
    const auto at = std::lower_bound(results_.begin(), results_.end(), atMs,
                                     [](const TimedResult& r, int64_t t) { return r.atMs < t; });
    return static_cast<std::size_t>(at - results_.begin());
}

void SiteHistory::DropOlderThan(int64_t limitMs) {
    while (results_.size() > kHistoryMinKept && results_.front().atMs < limitMs) results_.pop_front();
}

}  // namespace corvale
