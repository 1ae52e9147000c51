#include "ui/history/TimeAxis.h"

#include <gtest/gtest.h>

#include "ui/history/HistoryView.h"

namespace corvale {
namespace {

constexpr int64_t kNoon = 1'796'817'600'000;  // 2026-12-09T12:00:00Z, a whole hour

TEST(TimeAxis, LabelStepsFollowSpanAndWidth) {
    struct Case {
        int64_t span;
        int width;
        int64_t step;
    };
    // Labels at least 80 pixels apart.
    const Case cases[] = {
        {kMinuteMs, 800, kMinuteMs},           {15 * kMinuteMs, 800, 2 * kMinuteMs},
        {15 * kMinuteMs, 300, 5 * kMinuteMs},  {kHourMs, 2000, 5 * kMinuteMs},
        {kHourMs, 800, 10 * kMinuteMs},        {kHourMs, 400, 15 * kMinuteMs},
        {kHourMs, 200, 30 * kMinuteMs},        {6 * kHourMs, 800, kHourMs},
        {6 * kHourMs, 300, 2 * kHourMs},       {24 * kHourMs, 800, 3 * kHourMs},
        {24 * kHourMs, 400, 6 * kHourMs},      {24 * kHourMs, 100, 6 * kHourMs},  // none fits: the largest
    };
    for (const Case& c : cases)
        EXPECT_EQ(TimeLabelStepMs(c.span, c.width, 80), c.step) << c.span / kMinuteMs << " min in " << c.width;
}

TEST(TimeAxis, TicksLieAtRoundTimesOfTheUsersClock) {
    // 12:07 to 13:07 UTC, an hour in 800 pixels: every 10 minutes, from 13:10 on a clock an hour east.
    const TimeRange hour{kNoon + 7 * kMinuteMs, kNoon + 67 * kMinuteMs};
    const std::vector<TimeTick> ticks = TimeAxisTicks(hour, 800, 80, 60);
    ASSERT_EQ(ticks.size(), 6u);
    EXPECT_EQ(ticks[0].atMs, kNoon + 10 * kMinuteMs);
    EXPECT_EQ(ticks[0].hour, 13);
    EXPECT_EQ(ticks[0].minute, 10);
    EXPECT_EQ(ticks[0].column, 40);  // 3 of 60 minutes across 800 columns
    EXPECT_EQ(ticks[5].hour * 60 + ticks[5].minute, 14 * 60);

    // A clock half an hour off the hour: six-hour labels at its midnight and 06:00, not UTC's.
    const TimeRange day{kNoon - 24 * kHourMs, kNoon};
    const std::vector<TimeTick> sixHours = TimeAxisTicks(day, 300, 80, 330);
    ASSERT_EQ(sixHours.size(), 4u);
    for (const TimeTick& tick : sixHours) {
        EXPECT_EQ(tick.minute, 0);
        EXPECT_EQ(tick.hour % 6, 0);
        EXPECT_GE(tick.column, 0);
        EXPECT_LT(tick.column, 300);
    }
    EXPECT_EQ(sixHours[0].atMs, kNoon - 24 * kHourMs + kHourMs / 2);  // 18:00 local is 12:30 UTC
}

TEST(TimeAxis, ValueAxisEndsAtARoundValueAboveTheLargest) {
    EXPECT_EQ(ValueAxisFor(48, 5), (ValueAxis{50, 10}));
    EXPECT_EQ(ValueAxisFor(50, 5), (ValueAxis{60, 20}));  // above, never at the largest
    EXPECT_EQ(ValueAxisFor(800, 5), (ValueAxis{1000, 200}));
    EXPECT_EQ(ValueAxisFor(1999, 4), (ValueAxis{2000, 500}));
    EXPECT_EQ(ValueAxisFor(2, 5), (ValueAxis{3, 1}));
    EXPECT_EQ(ValueAxisFor(0, 5), (ValueAxis{100, 20}));
}

TEST(HistoryView, ZoomKeepsThePointerAndTheViewStaysWithinTheDay) {
    HistoryView view;
    const int64_t now = kNoon;
    EXPECT_EQ(view.Range(now), (TimeRange{now - kHourMs, now}));
    EXPECT_TRUE(view.Live());
    view.ZoomAbout(0.5, 0.5, now);  // about the middle: half an hour around 11:30
    EXPECT_EQ(view.Range(now), (TimeRange{now - 45 * kMinuteMs, now - 15 * kMinuteMs}));
    EXPECT_FALSE(view.Live());
    EXPECT_EQ(view.SpanChoice(), -1);
    view.MoveBy(-48 * kHourMs, now);  // no further back than a day
    EXPECT_EQ(view.Range(now).fromMs, now - 24 * kHourMs);
    view.SetSpan(kSpanChoicesMs[3], now);
    EXPECT_EQ(view.Range(now), (TimeRange{now - 24 * kHourMs, now}));
    EXPECT_TRUE(view.Live());  // a whole day ends at now
    view.ZoomAbout(0.0, 1e-9, now);
    EXPECT_EQ(view.SpanMs(), kShortestSpanMs);
    view.MoveBy(kHourMs * 30, now);
    EXPECT_TRUE(view.Live());
}

}  // namespace
}  // namespace corvale
