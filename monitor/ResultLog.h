#pragma once
// The log of every shown result: one CSV file per local day and one of outages, in the
// "log" folder beside the program, for the user to show their provider. Rows are gathered
// in memory and written once per round, so writing never holds up a check; a file another
// program holds open keeps its rows until a later round can write them.

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

namespace corvale {

inline constexpr const char* kLogFolderName = "log";
inline constexpr const char* kOutagesFileName = "outages.csv";
inline constexpr const char* kResultsHeader = "time,site,address,result,ms,code,name";
inline constexpr const char* kOutagesHeader = "site,down at,up at,seconds,cause";
// The site column of an outage of the whole connection.
inline constexpr const char* kConnectionRowSite = "(connection)";
inline constexpr const char* kResumedRowText = "resumed after sleep";
// Rows held for files that stay busy are kept up to this size; beyond it the oldest go, so a
// file held open for weeks cannot eat the computer's memory.
inline constexpr std::size_t kMaxPendingBytes = 8u << 20;
// A folder that fails this many writes in a row (one a round) ends the log: a network folder
// that is away for a moment does not.
inline constexpr int kFailedWritesBeforeOff = 3;

// A moment on the user's clock, with the clock's offset from UTC (east positive).
struct LocalTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    int offsetMinutes = 0;
};

// "2026-12-08T14:02:03+01:00".
std::string IsoLocalTime(const LocalTime& time);
// Days since 1970-01-01 of a date of the Gregorian calendar, and back.
struct CivilDate {
    int year = 1970, month = 1, day = 1;
};
int64_t DaysFromCivil(int year, int month, int day);
CivilDate CivilFromDays(int64_t days);
// `time` moved by `seconds` (back when negative), at its own offset from UTC.
LocalTime ShiftedLocalTime(const LocalTime& time, int64_t seconds);
// "2026-12-08.csv", the file of that day's results.
std::string DayFileName(const LocalTime& time);
// A field as CSV needs it: in double quotes (inner quotes doubled) when it holds a comma, a
// quote, a line break or surrounding spaces; as it is otherwise.
std::string CsvField(std::string_view text);

// One result row, ended by CR LF: time, site (its target), address, "ok" / "slow" / "no reply",
// the round trip (empty without a reply), the engine's result code, the site's name (empty
// without one). A day file begun before names came keeps its header; its rows gain the column.
std::string ResultRow(const LocalTime& time, std::string_view site, std::string_view address, bool answered,
                      int32_t roundTripMs, int32_t resultCode, std::string_view name = {});

// Where the rows go.
class LogFiles {
public:
    enum class Outcome {
        Written,
        Busy,    // another program holds the file: try again later
        Failed,  // this folder cannot take it (read-only, full disk)
    };
    virtual ~LogFiles() = default;
    // Appends `rows` to file `name` of the log folder, both made when missing; a new or empty
    // file gets `header` (and CR LF) first.
    virtual Outcome Append(const std::string& name, std::string_view header, std::string_view rows) = 0;
};

class ResultLog {
public:
    explicit ResultLog(LogFiles& files) : files_(files) {}

    // One shown result. `now` is the user's clock; `elapsed` seconds on a clock that stands
    // still while the computer sleeps, for the length of an outage.
    void AddResult(const LocalTime& now, double elapsed, std::string_view site, std::string_view address,
                   bool answered, int32_t roundTripMs, int32_t resultCode, std::string_view name = {});
    // The computer woke up: a gap, not a failure.
    void AddResume(const LocalTime& now);
    // An outage of the whole connection that has ended, and where it broke (`cause`).
    void AddConnectionOutage(const LocalTime& downAt, const LocalTime& upAt, double seconds, std::string_view cause);
    // Results stop coming for a while (the log was turned off): outages seen so far are not
    // known to last, and none is written.
    void ForgetOutages() { outages_.clear(); }
    // The list was edited: an outage of a site that left it is not known to last.
    void KeepOutagesOf(const std::set<std::string, std::less<>>& sites);

    enum class FlushOutcome {
        Written,   // or held for a busy file
        Retrying,  // the folder failed; the rows are kept for the next round
        Failed,    // the folder failed too often: the caller turns the log off (nothing is kept)
    };
    // Writes what is gathered.
    FlushOutcome Flush();
    // Rows were dropped (the files could not be written for long), and that was not told yet:
    // true once until the log writes again.
    bool TakeRowsDroppedNews();

private:
    struct Outage {
        LocalTime downAt;
        double downElapsed = 0;
    };
    void Pend(const std::string& file, std::string rows);

    LogFiles& files_;
    std::map<std::string, std::string> pending_;  // file name -> rows not yet written
    std::map<std::string, Outage, std::less<>> outages_;  // by site, from its first failed result
    int failedWrites_ = 0;  // in a row
    bool rowsDropped_ = false, droppedTold_ = false;
};

}  // namespace corvale
