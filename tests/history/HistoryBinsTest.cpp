#include "ui/history/HistoryBins.h"

#include <gtest/gtest.h>

#include "ui/history/HistoryFigures.h"

namespace corvale {
namespace {

constexpr int64_t kStart = 1'796'817'600'000;
constexpr int64_t kSecond = 1000;

TimedResult Reply(int64_t second, int32_t ms) { return {kStart + second * kSecond, ms, 0}; }
TimedResult Lost(int64_t second) { return {kStart + second * kSecond, 0, 11}; }

SiteHistory HistoryOf(std::initializer_list<TimedResult> results) {
    SiteHistory history;
    for (const TimedResult& result : results) history.Add(result);
    return history;
}

TEST(HistoryBins, ACrowdedColumnShowsRangeMedianAndTheShareLost) {
    // 100 seconds in 10 columns of 10 seconds.
    const SiteHistory history = HistoryOf({Lost(1), Lost(5),                                         // column 0
                                           Reply(21, 20), Reply(22, 10), Reply(23, 30), Lost(24), Reply(25, 40),  // 2
                                           Reply(50, 7), Reply(100, 9)});  // 5, and the range's very end: 9
    const PlotBins bins = BinResults(history, {kStart, kStart + 100 * kSecond}, 10, 60 * kSecond, {});
    ASSERT_EQ(bins.columns.size(), 10u);
    EXPECT_EQ(bins.columns[0].results, 2);
    EXPECT_EQ(bins.columns[0].LostShare(), 1.0);
    const PlotColumn& crowded = bins.columns[2];
    EXPECT_EQ(crowded.results, 5);
    EXPECT_EQ(crowded.lost, 1);
    EXPECT_DOUBLE_EQ(crowded.LostShare(), 0.2);
    EXPECT_EQ(crowded.minMs, 10);
    EXPECT_EQ(crowded.maxMs, 40);
    EXPECT_EQ(crowded.medianMs, 30);  // of 10, 20, 30, 40 the upper middle one
    EXPECT_EQ(bins.columns[9].results, 1);
    EXPECT_EQ(bins.largestMs, 40);
    // One point per column with replies, joined: lost checks do not break the line.
    EXPECT_EQ(bins.line, (std::vector<LinePoint>{{2, 30, true}, {5, 7, false}, {9, 9, false}}));
}

TEST(HistoryBins, GapsAndSleepBreakTheLineWhichReachesOnPastTheEdges) {
    const int64_t interval = 10 * kSecond;
    const SiteHistory history = HistoryOf({Reply(-10, 5),                 // before the range: the line comes in
                                           Reply(0, 10), Reply(10, 11),   // 10 s apart: joined
                                           Reply(600, 12),                // ten minutes later: not running
                                           Reply(610, 13), Reply(620, 14),  // slept between these two
                                           Reply(705, 15), Reply(710, 16)});  // after the range
    const std::vector<SleepSpan> sleeps{{kStart + 612 * kSecond, kStart + 618 * kSecond}};
    const TimeRange range{kStart, kStart + 700 * kSecond};  // 70 columns of 10 seconds
    const PlotBins bins = BinResults(history, range, 70, GapAfterMs(interval), sleeps);
    EXPECT_EQ(bins.line, (std::vector<LinePoint>{{-1, 5, true},
                                                 {0, 10, false},
                                                 {1, 11, false},
                                                 {60, 12, true},
                                                 {61, 13, false},
                                                 {62, 14, true},
                                                 {70, 15, false}}));  // the next one, and no further
    EXPECT_EQ(bins.largestMs, 14);
    EXPECT_EQ(SleepColumns(sleeps, range, 70), (std::vector<ColumnSpan>{{61, 62}}));
    EXPECT_TRUE(BinResults(history, range, 0, interval, sleeps).columns.empty());
}

// A locale that groups thousands with a dot and writes a decimal comma.
struct GroupingLocale : LocaleFormat {
    std::string Integer(int64_t value) const override {
        const std::string digits = std::to_string(value);
        std::string grouped;
        for (std::size_t i = 0; i < digits.size(); ++i) {
            if (i > 0 && (digits.size() - i) % 3 == 0) grouped += '.';
            grouped += digits[i];
        }
        return grouped;
    }
    std::string Decimal(double value, int decimals) const override {
        std::string text = LocaleFormat::Decimal(value, decimals);
        text[text.find('.')] = ',';
        return text;
    }
};

TEST(HistoryFigures, TheLineCountsExactlyTheSpanShownInTheUsersNumbers) {
    const SiteHistory history = HistoryOf({Reply(-1, 999), Reply(0, 20), Reply(1, 10), Lost(2), Reply(3, 30),
                                           Reply(4, 41), Reply(5, 999)});
    const TimeRange range{kStart, kStart + 4 * kSecond};  // both ends included
    const RoundTripSummary shown = SummarizeRange(history, range);
    // Replies 20, 10, 30, 41: jitter (10 + 20 + 11) / 3.
    EXPECT_EQ(FiguresLine(shown, LocaleFormat()), "5 results, 1 lost (20.0 %), 10 / 25 / 41 ms, jitter 14 ms");

    SiteHistory many;
    for (int i = 0; i < 1500; ++i) many.Add(i % 200 == 0 ? Lost(i) : Reply(i, 1200 + i % 2));
    EXPECT_EQ(FiguresLine(SummarizeRange(many, {kStart, kStart + 1499 * kSecond}), GroupingLocale()),
              "1.500 results, 8 lost (0,5 %), 1.200 / 1.201 / 1.201 ms, jitter 1 ms");

    const SiteHistory silent = HistoryOf({Lost(0), Lost(1), Reply(9, 5)});
    EXPECT_EQ(FiguresLine(SummarizeRange(silent, {kStart, kStart + 2 * kSecond}), LocaleFormat()),
              "2 results, 2 lost (100.0 %), - / - / - ms, jitter -");
    EXPECT_EQ(FiguresLine(SummarizeRange(silent, {kStart, kStart + 9 * kSecond}), LocaleFormat()),
              "3 results, 2 lost (66.7 %), 5 / 5 / 5 ms, jitter -");
}

}  // namespace
}  // namespace corvale
