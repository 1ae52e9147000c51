#include "monitor/ResultLog.h"

#include "ModelTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace corvale {
namespace {

using test::MemoryLogFiles;

LocalTime At(int day, int hour, int minute, int second) { return {2026, 12, day, hour, minute, second, 60}; }

TEST(ResultLog, RowsGoToTheFileOfTheirOwnDayWithHeaderQuotingAndResultWords) {
    MemoryLogFiles files;
    ResultLog log(files);
    log.AddResult(At(8, 23, 59, 58), 0, "a.example", "10.0.0.1", true, 12, 0);
    log.AddResult(At(8, 23, 59, 59), 1, "tcp://b.example:80", "b.example", true, 950, 0, "B, \"the\" shop");
    ASSERT_EQ(log.Flush(), ResultLog::FlushOutcome::Written);
    EXPECT_EQ(files.files["2026-12-08.csv"],
              "time,site,address,result,ms,code,name\r\n"
              "2026-12-08T23:59:58+01:00,a.example,10.0.0.1,ok,12,0,\r\n"
              "2026-12-08T23:59:59+01:00,tcp://b.example:80,b.example,slow,950,0,\"B, \"\"the\"\" shop\"\r\n");
    // A day file begun with six columns keeps its header; its new rows have the seventh.
    files.files["2026-12-09.csv"] = "time,site,address,result,ms,code\r\n";
    log.AddResult(At(9, 0, 0, 1), 3, "a.example", "", false, 0, 11);
    ASSERT_EQ(log.Flush(), ResultLog::FlushOutcome::Written);
    EXPECT_EQ(files.files["2026-12-09.csv"],
              "time,site,address,result,ms,code\r\n2026-12-09T00:00:01+01:00,a.example,,no reply,,11,\r\n");
    EXPECT_EQ(IsoLocalTime({2026, 7, 1, 9, 5, 0, -210}), "2026-07-01T09:05:00-03:30");
}

TEST(ResultLog, AnOutageIsOneRowOnceTheSiteAnswersAndSleepIsAGap) {
    MemoryLogFiles files;
    ResultLog log(files);
    log.AddResult(At(8, 14, 0, 0), 100, "a.example", "", false, 0, 11);
    log.AddResult(At(8, 14, 0, 20), 120, "a.example", "", false, 0, 11);
    log.AddResume(At(8, 22, 0, 0));  // eight hours asleep, which the elapsed clock does not count
    log.AddResult(At(8, 22, 0, 1), 300, "a.example", "10.0.0.1", true, 40, 0);
    ASSERT_EQ(log.Flush(), ResultLog::FlushOutcome::Written);
    log.AddConnectionOutage(ShiftedLocalTime(At(9, 0, 0, 10), -30), At(9, 0, 1, 0), 80, "beyond router");
    ASSERT_EQ(log.Flush(), ResultLog::FlushOutcome::Written);
    EXPECT_EQ(files.files["outages.csv"],
              "site,down at,up at,seconds,cause\r\n"
              "a.example,2026-12-08T14:00:00+01:00,2026-12-08T22:00:01+01:00,200,\r\n"
              "(connection),2026-12-08T23:59:40+01:00,2026-12-09T00:01:00+01:00,80,beyond router\r\n");
    EXPECT_EQ(IsoLocalTime(ShiftedLocalTime({2024, 3, 1, 0, 0, 5, 0}, -10)), "2024-02-29T23:59:55+00:00");
    EXPECT_NE(files.files["2026-12-08.csv"].find("2026-12-08T22:00:00+01:00,,,resumed after sleep,,,\r\n"),
              std::string::npos);
}

TEST(ResultLog, AHeldFileKeepsItsRowsUntilItCanBeWrittenAndAFailedFolderEndsTheLog) {
    MemoryLogFiles files;
    ResultLog log(files);
    files.busy.insert("2026-12-08.csv");
    log.AddResult(At(8, 10, 0, 0), 0, "a.example", "", true, 10, 0);
    ASSERT_EQ(log.Flush(), ResultLog::FlushOutcome::Written);
    EXPECT_FALSE(files.files.count("2026-12-08.csv"));
    log.AddResult(At(8, 10, 0, 10), 10, "a.example", "", true, 11, 0);
    files.busy.clear();
    ASSERT_EQ(log.Flush(), ResultLog::FlushOutcome::Written);
    const std::string& day = files.files["2026-12-08.csv"];
    EXPECT_LT(day.find(",10,0"), day.find(",11,0")) << "rows keep their order";

    // A folder that fails keeps the rows for a few rounds (a network folder away for a moment),
    // then ends the log with the outages it saw begin.
    files.failing = true;
    log.AddResult(At(8, 10, 0, 20), 20, "a.example", "", false, 0, 11);
    EXPECT_EQ(log.Flush(), ResultLog::FlushOutcome::Retrying);
    files.failing = false;
    ASSERT_EQ(log.Flush(), ResultLog::FlushOutcome::Written);
    EXPECT_NE(files.files["2026-12-08.csv"].find("10:00:20+01:00,a.example,,no reply"), std::string::npos);
    files.failing = true;
    for (int round = 1; round < kFailedWritesBeforeOff; ++round) {
        log.AddResult(At(8, 10, 0, 20 + round), 20.0 + round, "a.example", "", false, 0, 11);
        EXPECT_EQ(log.Flush(), ResultLog::FlushOutcome::Retrying);
    }
    EXPECT_EQ(log.Flush(), ResultLog::FlushOutcome::Failed);
    files.failing = false;
    log.AddResult(At(8, 10, 1, 0), 60, "a.example", "", true, 12, 0);
    ASSERT_EQ(log.Flush(), ResultLog::FlushOutcome::Written);
    EXPECT_FALSE(files.files.count("outages.csv")) << "the outage began while rows were lost";
}

TEST(ResultLog, RowsDroppedForAFileHeldTooLongAreToldOnce) {
    MemoryLogFiles files;
    ResultLog log(files);
    files.busy.insert("2026-12-08.csv");
    const std::string site(1000, 's');
    for (std::size_t written = 0; written <= kMaxPendingBytes; written += site.size())
        log.AddResult(At(8, 10, 0, 0), 0, site, "", true, 10, 0);
    EXPECT_TRUE(log.TakeRowsDroppedNews());
    EXPECT_FALSE(log.TakeRowsDroppedNews()) << "said once";
    files.busy.clear();
    ASSERT_EQ(log.Flush(), ResultLog::FlushOutcome::Written);
    EXPECT_LE(files.files["2026-12-08.csv"].size(), kMaxPendingBytes + 100);
}

}  // namespace
}  // namespace corvale
