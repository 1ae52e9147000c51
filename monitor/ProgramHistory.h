#pragma once
// The history window of the running program: what it asks for, answered from the program
// object (the site table, the times asleep, the check interval) and from monitor.ini (where
// the window was left, section "History"); and the one window, opened, switched, told of new
// results and of a new table, and closed at the end.
//
// The log's rows of the last day from before this run (this run's results are held already) are
// read into the sites' histories the first time the window opens while the log is on; sites
// that came with a later Save get theirs when it next opens.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "monitor/SiteList.h"
#include "ui/history/HistoryHost.h"
#include "ui/history/HistoryWindow.h"

namespace corvale {

class CorvaleProgram;

// How a site is named in its history's title and in the menu that opens it.
std::string HistorySiteTitle(const SiteRecord& site);
// The popup menu's item that opens the site's history: "History of <site>".
std::string HistoryMenuText(const SiteRecord& site);

class ProgramHistory : public HistoryHost {
public:
    explicit ProgramHistory(CorvaleProgram& program);

    // Shows site `site` (an index of the table): opens the window on the monitor of `owner`,
    // or switches the open one to the site.
    bool Open(int site, HWND owner);
    // Each shown result, and a table made anew by a Save (the site shown stays shown where
    // it stays in the list).
    void ResultsArrived(int site) { window_.ResultsArrived(site); }
    void SitesChanged();
    void Close() { window_.Close(); }
    HistoryWindow& Window() { return window_; }

    // HistoryHost.
    int SiteCount() const override;
    std::string SiteTitle(int site) const override;
    const SiteHistory& History(int site) const override;
    std::span<const SleepSpan> SleepSpans() const override;
    int64_t NowMs() const override;
    int64_t CheckIntervalMs() const override;
    std::optional<HistoryPlace> StoredPlace() const override;
    void StorePlace(const HistoryPlace& place) override;

private:
    // The log's rows of the last day into the histories of the sites that have not had them.
    void AddLogOfNewSites();
    void NoteTable();

    CorvaleProgram& program_;
    // Milliseconds since 1970 (UTC) at the start of the second this run began in.
    int64_t startedMs_;
    HistoryWindow window_{*this};
    // The sites (by id) whose log has been read, and the table as the window last knew it.
    std::set<uint32_t> logRead_;
    std::vector<uint32_t> shownTable_;
};

}  // namespace corvale
