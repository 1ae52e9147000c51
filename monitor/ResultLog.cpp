#include "monitor/ResultLog.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "monitor/SiteHistory.h"

namespace corvale {
namespace {

std::string TwoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

std::string IsoDate(const LocalTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
    return text;
}

}  // namespace

std::string IsoLocalTime(const LocalTime& t) {
    const int offset = std::abs(t.offsetMinutes);
    return IsoDate(t) + "T" + TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second) +
           (t.offsetMinutes < 0 ? "-" : "+") + TwoDigits(offset / 60) + ":" + TwoDigits(offset % 60);
}

std::string DayFileName(const LocalTime& time) { return IsoDate(time) + ".csv"; }

int64_t DaysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate CivilFromDays(int64_t days) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shifted = (5 * dayOfYear + 2) / 153;
    const int month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
    return {static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0)), month,
            static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1)};
}

LocalTime ShiftedLocalTime(const LocalTime& time, int64_t seconds) {
    int64_t total = DaysFromCivil(time.year, time.month, time.day) * 86400 + time.hour * 3600 + time.minute * 60 +
                    time.second + seconds;
    const int64_t days = (total >= 0 ? total : total - 86399) / 86400;
    total -= days * 86400;
    LocalTime shifted = time;
    const CivilDate date = CivilFromDays(days);
    shifted.year = date.year;
    shifted.month = date.month;
    shifted.day = date.day;
    shifted.hour = static_cast<int>(total / 3600);
    shifted.minute = static_cast<int>(total % 3600 / 60);
    shifted.second = static_cast<int>(total % 60);
    return shifted;
}

std::string CsvField(std::string_view text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) return std::string(text);
    std::string field = "\"";
    for (char c : text) {
        if (c == '"') field += '"';
        field += c;
    }
    return field + "\"";
}

std::string ResultRow(const LocalTime& time, std::string_view site, std::string_view address, bool answered,
                      int32_t roundTripMs, int32_t resultCode, std::string_view name) {
    const char* result = !answered ? "no reply" : roundTripMs > kSlowRoundTripMs ? "slow" : "ok";
    return IsoLocalTime(time) + "," + CsvField(site) + "," + CsvField(address) + "," + result + "," +
           (answered ? std::to_string(roundTripMs) : std::string()) + "," + std::to_string(resultCode) + "," +
           CsvField(name) + "\r\n";
}

void ResultLog::AddResult(const LocalTime& now, double elapsed, std::string_view site, std::string_view address,
                          bool answered, int32_t roundTripMs, int32_t resultCode, std::string_view name) {
    Pend(DayFileName(now), ResultRow(now, site, address, answered, roundTripMs, resultCode, name));
    const auto outage = outages_.find(site);
    if (!answered) {
        if (outage == outages_.end()) outages_.emplace(std::string(site), Outage{now, elapsed});
        return;
    }
    if (outage == outages_.end()) return;
    const long long seconds = std::llround(std::fmax(0.0, elapsed - outage->second.downElapsed));
    Pend(kOutagesFileName, CsvField(site) + "," + IsoLocalTime(outage->second.downAt) + "," + IsoLocalTime(now) +
                               "," + std::to_string(seconds) + ",\r\n");
    outages_.erase(outage);
}

void ResultLog::AddConnectionOutage(const LocalTime& downAt, const LocalTime& upAt, double seconds,
                                    std::string_view cause) {
    Pend(kOutagesFileName, std::string(kConnectionRowSite) + "," + IsoLocalTime(downAt) + "," + IsoLocalTime(upAt) +
                               "," + std::to_string(std::llround(std::fmax(0.0, seconds))) + "," +
                               CsvField(cause) + "\r\n");
}

void ResultLog::AddResume(const LocalTime& now) {
    Pend(DayFileName(now), IsoLocalTime(now) + ",,," + kResumedRowText + ",,,\r\n");
}

void ResultLog::Pend(const std::string& file, std::string rows) {
    std::string& pending = pending_[file];
    pending += rows;
    if (pending.size() <= kMaxPendingBytes) return;
    // Whole rows only: up to the end of the row that brings it within the bound.
    const std::size_t cut = pending.find('\n', pending.size() - kMaxPendingBytes);
    pending.erase(0, cut == std::string::npos ? pending.size() : cut + 1);
    rowsDropped_ = true;
}

void ResultLog::KeepOutagesOf(const std::set<std::string, std::less<>>& sites) {
    std::erase_if(outages_, [&](const auto& outage) { return !sites.count(outage.first); });
}

bool ResultLog::TakeRowsDroppedNews() {
    if (!rowsDropped_ || droppedTold_) return false;
    droppedTold_ = true;
    return true;
}

ResultLog::FlushOutcome ResultLog::Flush() {
    for (auto file = pending_.begin(); file != pending_.end();) {
        const std::string_view header = file->first == kOutagesFileName ? kOutagesHeader : kResultsHeader;
        switch (files_.Append(file->first, header, file->second)) {
        case LogFiles::Outcome::Written: file = pending_.erase(file); break;
        case LogFiles::Outcome::Busy: ++file; break;
        case LogFiles::Outcome::Failed:
            if (++failedWrites_ < kFailedWritesBeforeOff) return FlushOutcome::Retrying;
            pending_.clear();
            outages_.clear();
            failedWrites_ = 0;
            return FlushOutcome::Failed;
        }
    }
    failedWrites_ = 0;
    // Everything is out: a later loss of rows is news again.
    if (pending_.empty()) rowsDropped_ = droppedTold_ = false;
    return FlushOutcome::Written;
}

}  // namespace corvale
