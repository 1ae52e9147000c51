#pragma once
// Every result a site has shown in the last day, oldest first, each with the moment it came:
// the one record of a site's round trips. Its tile's ten bars, its figures of the last ten
// results and its timeline are all read from it.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

namespace corvale {

// A reply slower than this is slow: a yellow square, a "slow" row in the log.
inline constexpr int32_t kSlowRoundTripMs = 800;

// One shown result.
struct TimedResult {
    int64_t atMs = 0;         // when it came: milliseconds since 1970-01-01 UTC
    int32_t roundTripMs = 0;  // a reply of that many milliseconds (at least 1); 0: no reply
    int32_t resultCode = 0;   // the engine's code (0: a reply)
    bool Answered() const { return roundTripMs > 0; }
    bool operator==(const TimedResult&) const = default;
};

// A time the computer slept: from when it went to sleep (or, where that is not known, its
// last result before) to when it woke.
struct SleepSpan {
    int64_t fromMs = 0;
    int64_t toMs = 0;
    bool operator==(const SleepSpan&) const = default;
};

inline constexpr int64_t kHistoryKeptMs = 24LL * 60 * 60 * 1000;
// However old they are, the last results a tile shows stay.
inline constexpr std::size_t kHistoryMinKept = 10;

class SiteHistory {
public:
    // The newest result. Results more than a day older than it go, but never the last ten.
    void Add(const TimedResult& result);
    // Results from before the first one held (an earlier run's log), oldest first: those at or
    // after the first held one, and those more than a day before the newest, are left out.
    void AddOlder(std::span<const TimedResult> older);

    bool Empty() const { return results_.empty(); }
    std::size_t Count() const { return results_.size(); }
    // 0 is the oldest.
    const TimedResult& operator[](std::size_t index) const { return results_[index]; }
    const TimedResult& Newest() const { return results_.back(); }
    // The last `count` results (fewer where there are fewer), oldest first.
    std::vector<TimedResult> Last(std::size_t count) const;
    // Index of the first result at or after `atMs` (Count() when there is none).
    std::size_t FirstAtOrAfter(int64_t atMs) const;

private:
    void DropOlderThan(int64_t limitMs);
    std::deque<TimedResult> results_;
};

}  // namespace corvale
