// The notices of sites that stop or start answering, fed with shown results round by round.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "monitor/SiteNotices.h"
#include "monitor/UserTexts.h"

namespace corvale {
namespace {

// One round's results, in the order shown: a round trip per site, 0 for "Not responding".
struct Round {
    double at;
    std::vector<int32_t> roundTrips;
};

std::vector<std::string> ShowRounds(SiteNotices& notices, const std::vector<std::string>& sites,
                                    const std::vector<Round>& rounds) {
    std::vector<std::string> texts;
    for (const Round& round : rounds) {
        for (std::size_t i = 0; i < round.roundTrips.size(); ++i)
            notices.Shown(i, sites[i], round.roundTrips[i] != 0, round.roundTrips[i], round.at + static_cast<double>(i));
        texts.push_back(notices.EndRound().Text());
    }
    return texts;
}

TEST(SiteNotices, OnlyConfirmedChangesAreToldOncePerRound) {
    SiteNotices notices;
    const std::vector<std::string> sites = {"a.test", "b.test", "c.test", "10.0.0.9"};
    const auto texts = ShowRounds(notices, sites,
                           {{1000, {20, 0, 30, 40}},    // first results: silent, whether up or down
                            {1020, {21, 0, 0, 41}},     // c fails once: not told yet
                            {1040, {22, 0, 31, 0}},     // c answers again: a lost packet, nothing told
                            {1060, {0, 0, 32, 0}},      // 10.0.0.9 confirmed down
                            {1080, {0, 50, 33, 0}},     // a confirmed; b back, down since before we knew
                            {1100, {0, 51, 34, 0}},
                            {1300, {48, 52, 35, 7}}});  // both back in one notice, each with its time
    EXPECT_EQ(texts, (std::vector<std::string>{"", "", "", "10.0.0.9 is not responding",
                                               "a.test is not responding\nb.test answers again (50 ms)", "",
                                               "a.test answers again (48 ms), after 4 min\n"
                                               "10.0.0.9 answers again (7 ms), after 4 min 20 s"}));
}

TEST(SiteNotices, DownTimeTextsAndAFailureThatIsNotConfirmed) {
    SiteNotices notices;
    notices.Shown(0, "a.test", true, 10, 100);
    notices.Shown(0, "a.test", false, 0, 110);  // the first failure starts the time
    notices.Shown(0, "a.test", false, 0, 120);
    EXPECT_EQ(notices.EndRound().Text(), "a.test is not responding");
    notices.Shown(0, "a.test", true, 1, 160);
    EXPECT_EQ(notices.EndRound().Text(), "a.test answers again (1 ms), after 50 s");

    EXPECT_EQ(DownTimeText(0.4), "0 s");
    EXPECT_EQ(DownTimeText(59.4), "59 s");
    EXPECT_EQ(DownTimeText(59.6), "1 min");
    EXPECT_EQ(DownTimeText(200), "3 min 20 s");
    EXPECT_EQ(DownTimeText(7500), "2 h 5 min");
    EXPECT_EQ(DownTimeText(7259), "2 h");
}

TEST(SiteNotices, ManyChangesAreSummedUpAndLongTextsFitTheNotificationArea) {
    SiteNotices notices;
    std::vector<std::string> sites;
    std::vector<int32_t> up, down;
    for (int i = 0; i < 20; ++i) {
        sites.push_back("site" + std::to_string(i) + ".test");
        up.push_back(10);
        down.push_back(0);
    }
    std::vector<int32_t> mostDown = down;
    mostDown.back() = 10;  // one site still answers: not the connection
    const auto texts = ShowRounds(notices, sites, {{0, up}, {20, mostDown}, {40, mostDown}});
    EXPECT_EQ(texts[2],
              "site0.test is not responding\nsite1.test is not responding\nsite2.test is not responding\n"
              "site3.test is not responding\nand 15 more");

    // Long site texts are shortened, and fewer lines are shown when four would not fit.
    for (std::string& site : sites) site = std::string(150, 'x') + site;
    notices = SiteNotices();
    const auto longTexts = ShowRounds(notices, sites, {{0, down}, {20, up}});
    const std::string& text = longTexts[1];
    EXPECT_LE(text.size(), kNoticeMaxChars);
    EXPECT_EQ(text.rfind(std::string(kNoticeMaxSiteChars - 3, 'x') + "... answers again (10 ms)\n", 0), 0u) << text;
    EXPECT_NE(text.find("\nand 17 more"), std::string::npos) << text;
}

TEST(SiteNotices, AnEditedListKeepsTheStateOfTheSitesThatStayAndDropsTheRest) {
    SiteNotices notices;
    ShowRounds(notices, {"a.test", "b.test"}, {{0, {10, 10}}, {20, {0, 0}}});  // both failed once
    notices.Shown(0, "a.test", false, 0, 30);
    notices.KeepOnly({1});  // a left the list: its confirmation, gathered but not yet told, goes too
    EXPECT_EQ(notices.EndRound().Text(), "");
    // b stays where it stood: its second failure confirms it, and its time runs from the first.
    notices.Shown(1, "b.test", false, 0, 40);
    EXPECT_EQ(notices.EndRound().Text(), "b.test is not responding");
    // a, back in the list, is a new site: down from the start, when is not known.
    notices.Shown(2, "a.test", false, 0, 50);
    notices.Shown(1, "b.test", true, 10, 51);
    EXPECT_EQ(notices.EndRound().Text(), "b.test answers again (10 ms), after 30 s");
    notices.Shown(2, "a.test", true, 10, 70);
    EXPECT_EQ(notices.EndRound().Text(), "a.test answers again (10 ms)");
}

TEST(SiteNotices, AnOutageOfEverySiteIsOneNoticeEachWay) {
    SiteNotices notices;
    const std::vector<std::string> sites = {"a.test", "b.test", "c.test"};
    const auto texts = ShowRounds(notices, sites,
                                  {{1000, {10, 0, 10}},   // b down from the start
                                   {1020, {0, 0, 0}},     // a and c fail once
                                   {1040, {0, 0, 0}},     // confirmed: the connection
                                   {1060, {0, 0, 0}},
                                   {1220, {12, 0, 0}}});  // back, but c stays down
    EXPECT_EQ(texts, (std::vector<std::string>{"", "", kConnectionDownText, "",
                                               "Sites answer again, after 3 min 22 s\nc.test is not responding"}))
        << "b, down before the outage, is not told again";
}

TEST(SiteNotices, ASlowSiteIsToldOnceAndQuickAgainOnlyAfterFiveQuickResults) {
    SiteNotices notices;
    std::vector<std::string> texts;
    double at = 0;
    for (int32_t ms : {100, 900, 950, 1000, 120, 130, 0, 120, 120, 120, 120, 120}) {
        notices.Shown(0, "a.test", ms != 0, ms, at += 20);
        texts.push_back(notices.EndRound().Text());
    }
    EXPECT_EQ(texts[3], "a.test answers slowly (950 ms on average)") << "the slow replies only, never below the line";
    EXPECT_EQ(texts[11], "a.test answers quickly again (120 ms)") << "the lost reply broke the quick run";
    EXPECT_EQ(std::count(texts.begin(), texts.end(), ""), 10);
}

TEST(SiteNotices, TheRoundAfterAResumeTellsNothingAndSleepIsNoDownTime) {
    SiteNotices notices;
    ShowRounds(notices, {"a.test", "b.test"}, {{0, {10, 10}}, {20, {0, 10}}});  // a failed once
    notices.Resumed();
    EXPECT_EQ(ShowRounds(notices, {"a.test", "b.test"}, {{40, {0, 0}}}), std::vector<std::string>{""});
    EXPECT_EQ(ShowRounds(notices, {"a.test", "b.test"}, {{60, {0, 10}}}),
              std::vector<std::string>{"a.test is not responding"})
        << "the round after the resume neither told nor confirmed anything";
}

}  // namespace
}  // namespace corvale
