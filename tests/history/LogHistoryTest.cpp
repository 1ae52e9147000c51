#include "monitor/LogHistory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempFolder.h"

namespace corvale {
namespace {

constexpr int64_t kSecond = 1000;
// 2026-12-09T12:00:00+01:00, on a clock an hour east of UTC.
constexpr int64_t kNow = 1'796'817'600'000 - 3600 * kSecond;
constexpr int kOffset = 60;
const std::string kHeader = "time,site,address,result,ms,code\r\n";

TEST(LogHistory, TimesWithTheirOffsetBecomeUtc) {
    EXPECT_EQ(ParseIsoLocalTime("2026-12-09T12:00:00+01:00"), kNow);
    EXPECT_EQ(ParseIsoLocalTime("2026-12-09T11:00:00Z"), kNow);
    EXPECT_EQ(ParseIsoLocalTime("2026-12-09T07:30:00-03:30"), kNow);
    for (const char* broken : {"2026-02-29T12:00:00+01:00", "2026-12-09 12:00:00+01:00", "2026-12-09T24:00:00+01:00",
                               "2026-12-09T12:00:00+0100", "time", ""})
        EXPECT_FALSE(ParseIsoLocalTime(broken)) << broken;
    EXPECT_EQ(DayFileNamesFor(kNow - 25 * 3600 * kSecond, kNow, kOffset),
              (std::vector<std::string>{"2026-12-08.csv", "2026-12-09.csv"}));
}

TEST(LogHistory, TheLastDayOfTheSitesAskedForWithSleepAndNothingBroken) {
    test::TempFolder folder;
    test::WriteBytes(folder.File("2026-12-08.csv"),
                     kHeader +
                         "2026-12-08T11:59:59+01:00,a.example,10.0.0.1,ok,99,0\r\n"  // more than a day ago
                         "2026-12-08T12:30:00+01:00,a.example,10.0.0.1,ok,12,0\r\n"
                         "2026-12-08T23:59:50+01:00,a.example,,no reply,,11\r\n");
    test::WriteBytes(folder.File("2026-12-09.csv"),
                     kHeader +
                         "2026-12-09T08:00:00+01:00,a.example,10.0.0.1,slow,950,0\r\n"
                         "2026-12-09T08:00:01+01:00,b.example,10.0.0.2,ok,5,0\r\n"  // not asked for
                         "2026-12-09T08:00:02+01:00,\"tcp://c.example:80, \"\"x\"\"\",,ok,0,0\r\n"
                         "garbage\r\n"
                         "2026-12-09T08:00:03+01:00,a.example,10.0.0.1,ok,,0\r\n"      // a reply without its time
                         "2026-12-09T08:00:04+01:00,a.example,10.0.0.1,ok,12\r\n"      // a column short
                         "2026-12-09T08:00:05+01:00,a.example,10.0.0.1,lost,,11\r\n"   // no such result
                         "2026-12-09T08:00:06+01:00,\"a.example,10.0.0.1,ok,1,0\r\n"  // a quote left open
                         "2026-12-09T09:00:00+01:00,a.example,10.0.0.1,ok,30,0,A name\r\n"
                         "2026-12-09T09:00:20+01:00,b.example,,no reply,,11\r\n"
                         "2026-12-09T11:00:00+01:00,,,resumed after sleep,,\r\n"
                         "2026-12-09T11:00:01+01:00,a.example,10.0.0.1,ok,31,0\n"  // a line end of another kind
                         "2026-12-09T13:00:00+01:00,a.example,10.0.0.1,ok,40,0\r\n"  // the future
                         "2026-12-09T11:59:00+01:00,a.example,,no reply,,1");          // still being written
    const std::vector<std::string> sites{"a.example", "tcp://c.example:80, \"x\"", "gone.example"};
    const LogHistory log = ReadLogHistory(folder.Folder(), sites, kNow, kOffset);
    const auto at = [](const char* time) { return *ParseIsoLocalTime(time); };
    EXPECT_EQ(log.results[0], (std::vector<TimedResult>{{at("2026-12-08T12:30:00+01:00"), 12, 0},
                                                        {at("2026-12-08T23:59:50+01:00"), 0, 11},
                                                        {at("2026-12-09T08:00:00+01:00"), 950, 0},
                                                        {at("2026-12-09T09:00:00+01:00"), 30, 0},
                                                        {at("2026-12-09T11:00:01+01:00"), 31, 0}}));
    // A reply within the clock's tick is 1 ms, as shown.
    EXPECT_EQ(log.results[1], (std::vector<TimedResult>{{at("2026-12-09T08:00:02+01:00"), 1, 0}}));
    EXPECT_TRUE(log.results[2].empty());
    // From the last row of any site before the resume.
    EXPECT_EQ(log.sleeps, (std::vector<SleepSpan>{{at("2026-12-09T09:00:20+01:00"), at("2026-12-09T11:00:00+01:00")}}));

    // Spans asleep that overlap are one.
    std::vector<SleepSpan> sleeps{{at("2026-12-09T10:00:00+01:00"), at("2026-12-09T10:30:00+01:00")}};
    sleeps.insert(sleeps.end(), log.sleeps.begin(), log.sleeps.end());
    MergeSleepSpans(sleeps);
    EXPECT_EQ(sleeps, (std::vector<SleepSpan>{{at("2026-12-09T09:00:20+01:00"), at("2026-12-09T11:00:00+01:00")}}));

    // No log folder at all: nothing, quietly.
    const LogHistory none = ReadLogHistory(folder.File("missing/"), sites, kNow, kOffset);
    EXPECT_TRUE(none.results[0].empty() && none.sleeps.empty());
}

TEST(LogHistory, AHugeFileIsReadFromItsEndBackToTheDayOnly) {
    // Rows of the last day at the start of the file (its clock was set back), megabytes of older
    // rows, then more than a megabyte of the last day: reading from the end stops at the older rows.
    const auto row = [](int64_t atMs, int ms) {
        const int64_t local = atMs / kSecond + kOffset * 60;  // December 2026 only
        char text[96];
        std::snprintf(text, sizeof text, "2026-12-%02dT%02d:%02d:%02d+01:00,a.example,10.0.0.1,ok,%d,0\r\n",
                      static_cast<int>(local / 86400 - 20'796 + 9), static_cast<int>(local % 86400 / 3600),
                      static_cast<int>(local % 3600 / 60), static_cast<int>(local % 60), ms);
        return std::string(text);
    };
    std::string text = kHeader + row(kNow - 7200 * kSecond, 1);
    const std::string old = row(kNow - 30 * 3600 * kSecond, 2);
    while (text.size() < 3'000'000) text += old;
    const std::size_t oldEnd = text.size();
    int recent = 0;
    for (int64_t at = kNow - 86'000 * kSecond; at <= kNow; at += 4 * kSecond, ++recent) text += row(at, 3);
    ASSERT_GT(text.size() - oldEnd, 1u << 20);  // more than one piece read
    test::TempFolder folder;
    test::WriteBytes(folder.File("2026-12-09.csv"), text);
    const std::vector<std::string> sites{"a.example"};
    const LogHistory log = ReadLogHistory(folder.Folder(), sites, kNow, kOffset);
    ASSERT_EQ(log.results[0].size(), static_cast<std::size_t>(recent));
    EXPECT_EQ(log.results[0].front().atMs, kNow - 86'000 * kSecond);
    EXPECT_EQ(log.results[0].back().atMs, kNow);
}

}  // namespace
}  // namespace corvale
