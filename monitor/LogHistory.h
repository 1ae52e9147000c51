#pragma once
// The log read back: what the day files hold of the last day for the sites on show, so a
// history opened after a start reaches back before it. The files may be huge, half-written
// or held open by another program; whatever can be read is taken, and no file is read
// further back than a day before now (nor beyond kMaxLogBytesReadPerFile from its end).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "monitor/SiteHistory.h"

namespace corvale {

inline constexpr std::size_t kMaxLogBytesReadPerFile = 64u << 20;

// "2026-12-08T14:02:03+01:00" (or "...Z") as milliseconds since 1970-01-01 UTC; nothing for
// any other text, or a date that does not exist.
std::optional<int64_t> ParseIsoLocalTime(std::string_view text);

// One row of a results file.
struct LogRow {
    int64_t atMs = 0;
    bool resumed = false;  // a "resumed after sleep" row, which names no site
    std::string site;
    TimedResult result;
};
// A row without its line end; nothing for a header, a row of another kind or a broken one.
// A seventh column (and any after it) is allowed and ignored.
std::optional<LogRow> ParseLogRow(std::string_view line);

// The day files ("2026-12-08.csv") whose local days meet [fromMs, toMs], oldest first, on a
// clock `offsetMinutes` east of UTC.
std::vector<std::string> DayFileNamesFor(int64_t fromMs, int64_t toMs, int offsetMinutes);

struct LogHistory {
    // One list per site asked for, in the order asked, oldest first.
    std::vector<std::vector<TimedResult>> results;
    // From each site's last row before a "resumed after sleep" row to that row, oldest first.
    std::vector<SleepSpan> sleeps;
};

// The rows of the last day before `nowMs` in the day files of `logFolder` (UTF-8, ending in
// a separator) for `sites` (matched to the site column as written). Rows of other sites,
// broken rows, rows from the future and a last line without its line end are left out.
// `offsetMinutes` is the user's clock's offset from UTC now, for the names of the files.
LogHistory ReadLogHistory(const std::string& logFolder, std::span<const std::string> sites, int64_t nowMs,
                          int offsetMinutes);

// Overlapping times asleep as one, in time order.
void MergeSleepSpans(std::vector<SleepSpan>& sleeps);

// A file of the log opened for reading only, shared with any program that writes, renames
// or deletes it meanwhile (the program's own log among them).
class LogFileForReading {
public:
    explicit LogFileForReading(const std::string& path);
    ~LogFileForReading();
    LogFileForReading(const LogFileForReading&) = delete;
    LogFileForReading& operator=(const LogFileForReading&) = delete;

    bool IsOpen() const;
    // Its size now; -1 when the system does not tell.
    int64_t Size() const;
    // `into.size()` bytes from `offset`; false when fewer could be read.
    bool ReadAt(int64_t offset, std::span<char> into) const;

private:
    intptr_t handle_;
};

}  // namespace corvale
