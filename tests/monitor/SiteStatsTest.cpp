#include "engine/ResultText.h"
#include "monitor/OverallState.h"
#include "monitor/SiteList.h"
#include "monitor/SiteStats.h"
#include "monitor/UserTexts.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvale {
namespace {

// A site's history and running figures, fed as the program feeds them.
struct Fed {
    SiteHistory history;
    SiteStats stats;
    void Add(bool answered, int32_t ms, double t) {
        history.Add({static_cast<int64_t>(t * 1000), answered ? ms : 0, answered ? 0 : 11});
        stats.Add(answered, ms, t);
    }
    RoundTripSummary Recent() const { return RecentSummary(history); }
    RoundTripSummary SinceBuilt() const { return stats.SinceBuilt(); }
    std::optional<double> DownFor(double now) const { return stats.DownFor(now); }
    bool Empty() const { return stats.Empty(); }
};

TEST(SiteStats, JitterFollowsArrivalOrderAndLostRepliesCountOnlyInLoss) {
    Fed stats;
    double t = 0;
    for (int ms : {10, 90, 10, 90}) stats.Add(true, ms, t += 10);
    EXPECT_DOUBLE_EQ(*stats.Recent().jitterMs, 80);  // sorted values would give 26.7
    stats.Add(false, 0, t += 10);
    const RoundTripSummary recent = stats.Recent();
    EXPECT_EQ(recent.results, 5);
    EXPECT_EQ(recent.Lost(), 1);
    EXPECT_EQ(*recent.minMs, 10);
    EXPECT_EQ(*recent.maxMs, 90);
    EXPECT_EQ(RecentStatsLine(recent), "Last 5: 1 lost (20 %), 10 / 50 / 90 ms, jitter 80 ms");
    // A lost reply between two replies does not break the chain of consecutive replies.
    stats.Add(true, 30, t += 10);
    EXPECT_DOUBLE_EQ(*stats.Recent().jitterMs, (80 + 80 + 80 + 60) / 4.0);
}

TEST(SiteStats, TheWindowOfTenSlidesWhileTheTotalsRunOn) {
    Fed stats;
    double t = 0;
    stats.Add(true, 500, t += 10);  // falls out of the window below
    stats.Add(false, 0, t += 10);
    for (int i = 0; i < 10; ++i) stats.Add(true, 20 + i % 2, t += 10);
    const RoundTripSummary recent = stats.Recent();
    EXPECT_EQ(recent.results, 10);
    EXPECT_EQ(recent.Lost(), 0);
    EXPECT_EQ(*recent.maxMs, 21);
    EXPECT_DOUBLE_EQ(*recent.jitterMs, 1);
    const RoundTripSummary total = stats.SinceBuilt();
    EXPECT_EQ(total.results, 12);
    EXPECT_EQ(*total.maxMs, 500);
    EXPECT_EQ(SinceBuiltLine("14:02", total), "Since 14:02: 1 of 12 lost (8.3 %)");
    EXPECT_EQ(PercentText(2.0 / 345 * 100), "0.6");
}

TEST(SiteStats, ASiteWithoutRepliesHasNoRangeNoJitterAndADownTime) {
    Fed stats;
    EXPECT_TRUE(stats.Empty());
    EXPECT_FALSE(stats.DownFor(5));
    EXPECT_EQ(RecentStatsLine(stats.Recent()), "Last 0: 0 lost (0 %), - / - / - ms, jitter -");
    stats.Add(false, 0, 100);
    stats.Add(false, 0, 130);
    EXPECT_EQ(RecentStatsLine(stats.Recent()), "Last 2: 2 lost (100 %), - / - / - ms, jitter -");
    EXPECT_DOUBLE_EQ(*stats.DownFor(300), 200) << "down from the first failed result on";
    stats.Add(true, 40, 310);
    EXPECT_FALSE(stats.DownFor(320));
    EXPECT_FALSE(stats.Recent().jitterMs) << "one reply has no neighbour";
}

TEST(SiteTooltip, AFailedSiteTellsWhyAndForHowLongAboveItsFigures) {
    SiteRecord site;
    site.Url = "a.example";
    EXPECT_EQ(TooltipText(site), "Not checked yet");
    site.StatsSince = "14:02";
    const auto add = [&site](bool answered, int32_t ms, double t) {
        site.History.Add({static_cast<int64_t>(t * 1000), ms, answered ? 0 : 11});
        site.Stats.Add(answered, ms, t);
    };
    add(true, 48, 100);
    add(false, 0, 120);
    add(false, 0, 320);
    site.NotResponding = true;
    site.ResultCode = tarnel::HttpStatusCode(503);
    EXPECT_EQ(TooltipText(site),
              "Ping: 0 ms \r\nHTTP 503\r\nNot responding for 3 min 20 s\r\n"
              "Last 3: 2 lost (66.7 %), 48 / 48 / 48 ms, jitter -\r\nSince 14:02: 2 of 3 lost (66.7 %)");
    add(true, 20, 340);
    site.NotResponding = false;
    site.PingMs = 20;
    EXPECT_EQ(TooltipText(site),
              "Ping: 20 ms \r\nLast 4: 2 lost (50 %), 20 / 34 / 48 ms, jitter 28 ms\r\nSince 14:02: 2 of 4 lost (50 %)");
}

TEST(OverallState, ColourAndTextNameTheSitesThatAreNotFine) {
    std::vector<SiteSnapshot> sites{{"a.example", true, true, 20}, {"b.example", true, true, 950},
                                    {"c.example", false, false, 0}};
    EXPECT_EQ(SummariseSites({}).colour, OverallColour::Grey);
    EXPECT_EQ(SummariseSites(sites), (OverallState{OverallColour::Grey, "Not checked yet"}));
    sites[2] = {"c.example", true, true, 30};
    EXPECT_EQ(SummariseSites(sites), (OverallState{OverallColour::Yellow, "1 of 3 sites slow: b.example"}));
    sites[0].answering = false;
    sites[2].answering = false;
    EXPECT_EQ(SummariseSites(sites),
              (OverallState{OverallColour::Red, "2 of 3 sites not responding: a.example, c.example"}));
    sites = {{"a.example", true, true, 20}, {"b.example", true, true, 800}};
    EXPECT_EQ(SummariseSites(sites), (OverallState{OverallColour::Green, "All 2 sites answer"}));

    const std::string tip = OverallTipText("Corvale", {OverallColour::Red, std::string(200, 'x')}, 127);
    EXPECT_EQ(tip.size(), 127u);
    EXPECT_EQ(tip.substr(0, 8), "Corvale\n");
    EXPECT_EQ(tip.substr(124), "...");
}

}  // namespace
}  // namespace corvale
