#include "monitor/ResultLog.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace corvale {
namespace {

// Files in memory; a name in `busy` is held by another program, `failing` makes every write fail.
struct MemoryLogFiles : LogFiles {
    std::map<std::string, std::string> files;
    std::set<std::string> busy;
    bool failing = false;
    Outcome Append(const std::string& name, std::string_view header, std::string_view rows) override {
        if (failing) return Outcome::Failed;
        if (busy.count(name)) return Outcome::Busy;
        std::string& file = files[name];
        if (file.empty()) file = std::string(header) + "\r\n";
        file += rows;
        return Outcome::Written;
    }
};

LocalTime At(int day, int hour, int minute, int second) { return {2026, 12, day, hour, minute, second, 60}; }

TEST(ResultLog, RowsGoToTheFileOfTheirOwnDayWithHeaderQuotingAndResultWords) {
    MemoryLogFiles files;
    ResultLog log(files);
    log.AddResult(At(8, 23, 59, 58), 0, "a.example", "10.0.0.1", true, 12, 0);
    log.AddResult(At(8, 23, 59, 59), 1, "tcp://b.example:80, \"x\"", "10.0.0.2", true, 950, 0);
    log.AddResult(At(9, 0, 0, 1), 3, "a.example", "", false, 0, 11);
    ASSERT_TRUE(log.Flush());
    EXPECT_EQ(files.files["2026-12-08.csv"],
              "time,site,address,result,ms,code\r\n"
              "2026-12-08T23:59:58+01:00,a.example,10.0.0.1,ok,12,0\r\n"
              "2026-12-08T23:59:59+01:00,\"tcp://b.example:80, \"\"x\"\"\",10.0.0.2,slow,950,0\r\n");
    EXPECT_EQ(files.files["2026-12-09.csv"],
              "time,site,address,result,ms,code\r\n"
              "2026-12-09T00:00:01+01:00,a.example,,no reply,,11\r\n");
    EXPECT_EQ(IsoLocalTime({2026, 7, 1, 9, 5, 0, -210}), "2026-07-01T09:05:00-03:30");
}

TEST(ResultLog, AnOutageIsOneRowOnceTheSiteAnswersAndSleepIsAGap) {
    MemoryLogFiles files;
    ResultLog log(files);
    log.AddResult(At(8, 14, 0, 0), 100, "a.example", "", false, 0, 11);
    log.AddResult(At(8, 14, 0, 20), 120, "a.example", "", false, 0, 11);
    log.AddResume(At(8, 22, 0, 0));  // eight hours asleep, which the elapsed clock does not count
    log.AddResult(At(8, 22, 0, 1), 300, "a.example", "10.0.0.1", true, 40, 0);
    ASSERT_TRUE(log.Flush());
    EXPECT_EQ(files.files["outages.csv"],
              "site,down at,up at,seconds\r\n"
              "a.example,2026-12-08T14:00:00+01:00,2026-12-08T22:00:01+01:00,200\r\n");
    EXPECT_NE(files.files["2026-12-08.csv"].find("2026-12-08T22:00:00+01:00,,,resumed after sleep,,\r\n"),
              std::string::npos);
}

TEST(ResultLog, AHeldFileKeepsItsRowsUntilItCanBeWrittenAndAFailedFolderEndsTheLog) {
    MemoryLogFiles files;
    ResultLog log(files);
    files.busy.insert("2026-12-08.csv");
    log.AddResult(At(8, 10, 0, 0), 0, "a.example", "", true, 10, 0);
    ASSERT_TRUE(log.Flush());
    EXPECT_FALSE(files.files.count("2026-12-08.csv"));
    log.AddResult(At(8, 10, 0, 10), 10, "a.example", "", true, 11, 0);
    files.busy.clear();
    ASSERT_TRUE(log.Flush());
    const std::string& day = files.files["2026-12-08.csv"];
    EXPECT_LT(day.find(",10,0"), day.find(",11,0")) << "rows keep their order";

    files.failing = true;
    log.AddResult(At(8, 10, 0, 20), 20, "a.example", "", true, 12, 0);
    EXPECT_FALSE(log.Flush());
}

}  // namespace
}  // namespace corvale
