#pragma once
// What the history window asks of the program. Sites are known by their index in the site
// list; the window holds nothing of theirs between two calls, so the list may change at any
// time the window is told of (HistoryWindow::SitesChanged).

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "monitor/SiteHistory.h"
#include "ui/history/HistoryPlace.h"

namespace corvale {

class HistoryHost {
public:
    virtual ~HistoryHost() = default;

    virtual int SiteCount() const = 0;
    // The site's text as its tooltip's title shows it (already cut to fit).
    virtual std::string SiteTitle(int site) const = 0;
    // Its results of the last day: those of this run, and those of the log from before it.
    virtual const SiteHistory& History(int site) const = 0;
    // The times the computer slept, in time order.
    virtual std::span<const SleepSpan> SleepSpans() const = 0;
    // Milliseconds since 1970-01-01 UTC.
    virtual int64_t NowMs() const = 0;
    virtual int64_t CheckIntervalMs() const = 0;

    // Where the window was left (monitor.ini, section "History"), and where it is left now.
    virtual std::optional<HistoryPlace> StoredPlace() const = 0;
    virtual void StorePlace(const HistoryPlace& place) = 0;
};

}  // namespace corvale
