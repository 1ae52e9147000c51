#include "monitor/LogHistory.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <unordered_map>

#include "monitor/ResultLog.h"

namespace corvale {
namespace {

constexpr int64_t kMsPerMinute = 60'000;
constexpr int64_t kMsPerDay = 86'400'000;
// A day on which the clock changes has an hour more or less: the files cover an hour more.
constexpr int64_t kClockChangeMs = 60 * kMsPerMinute;
constexpr std::size_t kReadPieceBytes = 1u << 20;
// No row the program writes comes near this; a longer line is none of its rows.
constexpr std::size_t kLongestRowBytes = 64u << 10;
// A round trip beyond an hour is no round trip.
constexpr int32_t kLongestRoundTripMs = 3'600'000;

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

// `count` decimal digits at `at`; -1 where there are not.
int Digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) return -1;
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

std::optional<int32_t> WholeNumber(std::string_view text) {
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// The first six fields of a CSV line with their quotes taken off; the rest of the line is
// not looked at. False for fewer fields, or a quote no CSV writer leaves.
struct CsvFields {
    static constexpr std::size_t kWanted = 6;
    std::array<std::string_view, kWanted> field;
    std::array<std::string, kWanted> unquoted;  // the text of quoted fields
};

bool SplitCsv(std::string_view line, CsvFields& fields) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < CsvFields::kWanted; ++i) {
        if (i > 0) {
            if (at >= line.size() || line[at] != ',') return false;
            ++at;
        }
        if (at < line.size() && line[at] == '"') {
            std::string& text = fields.unquoted[i];
            text.clear();
            for (++at;; ++at) {
                if (at >= line.size()) return false;
                if (line[at] != '"') text += line[at];
                else if (at + 1 < line.size() && line[at + 1] == '"') text += line[++at];
                else break;
            }
            ++at;  // the closing quote
            fields.field[i] = text;
        } else {
            const std::size_t end = std::min(line.find(',', at), line.size());
            fields.field[i] = line.substr(at, end - at);
            at = end;
        }
    }
    return at == line.size() || line[at] == ',';
}

struct RowView {
    int64_t atMs = 0;
    bool resumed = false;
    std::string_view site;
    TimedResult result;
};

bool ReadRow(std::string_view line, CsvFields& fields, RowView& row) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!SplitCsv(line, fields)) return false;
    const auto at = ParseIsoLocalTime(fields.field[0]);
    if (!at) return false;
    row.atMs = *at;
    const std::string_view word = fields.field[3];
    row.resumed = word == kResumedRowText;
    if (row.resumed) return true;
    row.site = fields.field[1];
    const auto code = WholeNumber(fields.field[5]);
    if (row.site.empty() || !code) return false;
    if (word == "no reply") {
        row.result = {row.atMs, 0, *code};
        return fields.field[4].empty();
    }
    const auto ms = WholeNumber(fields.field[4]);
    if ((word != "ok" && word != "slow") || !ms || *ms < 0 || *ms > kLongestRoundTripMs) return false;
    row.result = {row.atMs, std::max<int32_t>(*ms, 1), *code};  // a reply within the clock's tick is 1 ms
    return true;
}

constexpr int32_t kOtherSite = -1;
constexpr int32_t kResumeRow = -2;

struct ReadRecord {
    int64_t atMs = 0;
    int32_t roundTripMs = 0, resultCode = 0;
    int32_t site = kOtherSite;  // the index asked for, or one of the two above
};

using SiteIndex = std::unordered_map<std::string_view, int32_t>;

// Parses whole lines into `records`; the oldest time of a row read (INT64_MAX for none).
int64_t ParseLines(std::string_view text, const SiteIndex& sites, CsvFields& fields, std::vector<ReadRecord>& records) {
    int64_t oldest = INT64_MAX;
    RowView row;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!ReadRow(line, fields, row)) continue;
        oldest = std::min(oldest, row.atMs);
        if (row.resumed) {
            records.push_back({row.atMs, 0, 0, kResumeRow});
            continue;
        }
        const auto site = sites.find(row.site);
        records.push_back({row.atMs, row.result.roundTripMs, row.result.resultCode,
                           site == sites.end() ? kOtherSite : site->second});
    }
    return oldest;
}

// The file's rows, in file order, from its end back to the first piece that reaches before
// `cutoffMs`. A line still being written at the end is left out.
void ReadDayFile(const std::string& path, const SiteIndex& sites, int64_t cutoffMs, std::vector<ReadRecord>& rows) {
    const LogFileForReading file(path);
    const int64_t size = file.IsOpen() ? file.Size() : -1;
    if (size <= 0) return;
    std::vector<std::vector<ReadRecord>> pieces;  // newest first
    std::string buffer, carry;  // carry: the lines' start cut off at the previous piece's start
    CsvFields fields;
    bool dropTail = true;  // the text after the piece's last line end is no whole row
    int64_t end = size;
    std::size_t readBytes = 0;
    while (end > 0 && readBytes < kMaxLogBytesReadPerFile) {
        const int64_t begin = std::max<int64_t>(0, end - static_cast<int64_t>(kReadPieceBytes));
        buffer.resize(static_cast<std::size_t>(end - begin));
        if (!file.ReadAt(begin, buffer)) break;
        readBytes += buffer.size();
        end = begin;
        buffer += carry;
        carry.clear();
        std::size_t to = buffer.size();
        if (dropTail) {
            const std::size_t lastEnd = buffer.rfind('\n');
            if (lastEnd == std::string::npos) continue;
            to = lastEnd + 1;
            dropTail = false;
        }
        std::size_t from = 0;
        if (begin > 0) {
            const std::size_t firstEnd = buffer.find('\n');
            from = firstEnd == std::string::npos || firstEnd >= to ? to : firstEnd + 1;
            if (from <= kLongestRowBytes) carry.assign(buffer, 0, from);
            else dropTail = true;  // the rest of that line lies before: none of it is a row
        }
        pieces.emplace_back();
        const int64_t oldest =
            ParseLines(std::string_view(buffer).substr(from, to - from), sites, fields, pieces.back());
        if (oldest < cutoffMs) break;
    }
    for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece) rows.insert(rows.end(), piece->begin(), piece->end());
}

}  // namespace

std::optional<int64_t> ParseIsoLocalTime(std::string_view text) {
    // 2026-12-08T14:02:03+01:00
    const bool utc = text.size() == 20 && text[19] == 'Z';
    if (!utc && text.size() != 25) return std::nullopt;
    if (text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    const int year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
    const int hour = Digits(text, 11, 2), minute = Digits(text, 14, 2), second = Digits(text, 17, 2);
    if (year < 1970 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60)
        return std::nullopt;
    int offsetMinutes = 0;
    if (!utc) {
        const int offsetHours = Digits(text, 20, 2), offsetRest = Digits(text, 23, 2);
        if ((text[19] != '+' && text[19] != '-') || text[22] != ':' || offsetHours < 0 || offsetHours > 14 ||
            offsetRest < 0 || offsetRest > 59)
            return std::nullopt;
        offsetMinutes = (offsetHours * 60 + offsetRest) * (text[19] == '-' ? -1 : 1);
    }
    const int64_t localMinutes = DaysFromCivil(year, month, day) * 1440 + hour * 60 + minute;
    return (localMinutes - offsetMinutes) * kMsPerMinute + second * 1000LL;
}

std::optional<LogRow> ParseLogRow(std::string_view line) {
    CsvFields fields;
    RowView row;
    if (!ReadRow(line, fields, row)) return std::nullopt;
    return LogRow{row.atMs, row.resumed, std::string(row.site), row.result};
}

std::vector<std::string> DayFileNamesFor(int64_t fromMs, int64_t toMs, int offsetMinutes) {
    const auto localDay = [offsetMinutes](int64_t ms) {
        const int64_t local = ms + offsetMinutes * kMsPerMinute;
        return local / kMsPerDay - (local % kMsPerDay < 0 ? 1 : 0);
    };
    std::vector<std::string> names;
    for (int64_t day = localDay(fromMs), last = localDay(toMs); day <= last && names.size() < 4; ++day) {
        const CivilDate date = CivilFromDays(day);
        char name[32];
        std::snprintf(name, sizeof name, "%04d-%02d-%02d.csv", date.year, date.month, date.day);
        names.emplace_back(name);
    }
    return names;
}

LogHistory ReadLogHistory(const std::string& logFolder, std::span<const std::string> sites, int64_t nowMs,
                          int offsetMinutes) {
    LogHistory history;
    history.results.resize(sites.size());
    SiteIndex index;
    for (std::size_t i = 0; i < sites.size(); ++i) index.emplace(sites[i], static_cast<int32_t>(i));
    const int64_t cutoff = nowMs - kHistoryKeptMs;
    std::vector<ReadRecord> rows;
    for (const std::string& name : DayFileNamesFor(cutoff - kClockChangeMs, nowMs, offsetMinutes))
        ReadDayFile(logFolder + name, index, cutoff, rows);

    constexpr int64_t kNoRow = INT64_MIN;
    int64_t lastRowMs = kNoRow;  // of any site, since the last resume
    for (const ReadRecord& row : rows) {
        if (row.atMs > nowMs) continue;  // the clock was set back since
        if (row.site == kResumeRow) {
            if (lastRowMs != kNoRow && lastRowMs <= row.atMs && row.atMs >= cutoff)
                history.sleeps.push_back({lastRowMs, row.atMs});
            lastRowMs = kNoRow;
            continue;
        }
        lastRowMs = row.atMs;
        if (row.site >= 0 && row.atMs >= cutoff)
            history.results[static_cast<std::size_t>(row.site)].push_back({row.atMs, row.roundTripMs, row.resultCode});
    }
    MergeSleepSpans(history.sleeps);
    return history;
}

void MergeSleepSpans(std::vector<SleepSpan>& sleeps) {
    std::sort(sleeps.begin(), sleeps.end(), [](const SleepSpan& a, const SleepSpan& b) { return a.fromMs < b.fromMs; });
    std::vector<SleepSpan> merged;
    for (const SleepSpan& span : sleeps) {
        if (span.toMs < span.fromMs) continue;
        if (!merged.empty() && span.fromMs <= merged.back().toMs) merged.back().toMs = std::max(merged.back().toMs, span.toMs);
        else merged.push_back(span);
    }
    sleeps = std::move(merged);
}

}  // namespace corvale
