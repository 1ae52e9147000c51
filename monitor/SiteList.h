#pragma once
// The site table that the check cycle, the tiles and the preferences share, and the
// "sites.txt" file it comes from.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "monitor/SiteStats.h"
#include "ui/tiles/GraphBars.h"

namespace corvale {

inline constexpr int kMaxSites = 20;

struct SiteRecord {
    std::string Url;             // the line without the spaces and tabs around it (UTF-8)
    int32_t PingMs = 0;          // last round-trip shown; 0 = failed or not checked yet
    std::string Address;         // what the engine's text buffer held after the last check
    bool NotResponding = false;  // the last shown result was a failure
    std::string PingText;        // "192 ms" or "Not responding"; empty until the first result
    int16_t RetryCount = 0;      // results dropped for this site in a row
    bool Checked = false;        // a result has been shown since the site joined the list
    int32_t ResultCode = 0;      // the engine's code of the last shown result (0: a reply)
    ResponseHistory History;     // the round trips shown, as the tile's graph has them
    SiteStats Stats;             // loss, range and jitter of the results shown
    std::string StatsSince;      // when Stats began, on the user's clock ("14:02"); empty until shown
};

// Indexed 0..SiteLast; SiteLast is -1 when there is no site. The table holds exactly
// SiteLast + 1 records, so an index beyond SiteLast is never valid.
extern std::vector<SiteRecord> Sites;
extern int16_t SiteLast;

// Rebuilds Sites and SiteLast from the text of the list: lines split at CR LF, LF or CR,
// the spaces and tabs around each removed, blank lines and exact duplicates skipped, at
// most 20. Every record starts afresh.
void ParseSiteList(std::string_view text);

// The accepted lines of a list text, in order; ParseSiteList builds the table from it.
std::vector<std::string> AcceptedSiteLines(std::string_view text);
// The list text with every line ending (CR LF, LF or CR) as CR LF, the way the preferences
// show and save an edited list.
std::string WithCrLfLineEnds(std::string_view text);

// The table for `lines` made from `old`: a line that was already a site keeps its record,
// wherever it was, and a new one starts unchecked. Dropped results are forgotten, as the
// check cycle starts over with the new table.
std::vector<SiteRecord> CarrySiteState(const std::vector<SiteRecord>& old, const std::vector<std::string>& lines);
// Rebuilds Sites and SiteLast from an edited list text, keeping what is known of the sites
// that stay (CarrySiteState).
void UpdateSiteList(std::string_view text);

// The whole text of SitesPath as UTF-8 (SitesTextFromFile); empty when the file is
// missing, empty or unreadable. Sets SitesFileUnreadable when the file is there but its
// text could not be had.
std::string ReadSitesFile();
// The text of a list file's bytes as UTF-8: after a UTF-8 mark as it is, after a UTF-16 mark
// (FF FE or FE FF) converted, and a file with no mark that is not UTF-8 (one written in the
// ANSI code page) converted from that code page. A line holding a NUL is left out. `lossy`,
// when given, tells whether anything of the file was left out or replaced.
std::string SitesTextFromFile(std::string bytes, bool* lossy = nullptr);
// The list's file exists but could not be read whole at the last load: until the user gives
// a list of their own, saving must not write what was read over it.
extern bool SitesFileUnreadable;

// Writes SitesText to SitesPath in one step, as UTF-8 without a mark: the new text goes to
// a temporary file in the same folder, which then replaces the old file. On failure the
// old file is left untouched and false is returned. A sites.txt marked read-only is not
// replaced.
bool WriteSitesFile();

// The same two operations on any path (UTF-8), for the ones above and for tests. `unreadable`, when
// given, tells a file that is there but could not be read from one that is missing.
std::string ReadWholeFile(const std::string& path, bool* unreadable = nullptr);
bool ReplaceFileContents(const std::string& path, std::string_view contents);
// Whether anything (a file or a folder) is there under that name; only a name the system
// reports missing counts as missing.
bool FileExists(const std::string& path);
// A text of the system's ANSI code page as UTF-8 (where there is no such code page, the
// bytes as they are).
std::string TextFromAnsiCodePage(std::string_view text);

}  // namespace corvale
