#pragma once
// The site table that the check cycle, the tiles and the preferences share, and the
// "sites.txt" file it comes from.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "monitor/ResultLog.h"
#include "monitor/SiteHistory.h"
#include "monitor/SiteLine.h"
#include "monitor/SiteStats.h"

namespace corvale {

inline constexpr int kMaxSites = 20;

// Everything known of one site. A record stays with its site for as long as the site is in
// the list, wherever a Save moves it.
struct SiteRecord {
    uint32_t Id = 0;             // the site's own number while it stays in the list; 0 until given one
    std::string Url;             // the target: the line's first word (UTF-8)
    std::string Name;            // what the user calls it: the rest of the line; empty when nothing
    int32_t PingMs = 0;          // last round-trip shown; 0 = failed or not checked yet
    std::string Address;         // the address the site was checked at, as far as it is known
    bool NotResponding = false;  // the last shown result was a failure
    std::string PingText;        // "192 ms" or "Not responding"; empty until the first result
    int16_t RetryCount = 0;      // results dropped for this site in a row
    int32_t ResultCode = 0;      // the engine's code of the last shown result (0: a reply)
    SiteHistory History;         // every result shown in the last day, with its moment
    SiteStats Stats;             // loss, range and jitter of the results shown
    std::string StatsSince;      // when Stats began, on the user's clock ("14:02"); empty until shown

    // A result has been shown since the site joined the list.
    bool Checked() const { return !History.Empty(); }
};

// What the user calls a site: its name, else its target.
inline const std::string& ShownName(const SiteRecord& site) { return site.Name.empty() ? site.Url : site.Name; }

// The sites of a list text, in order: lines split at CR LF, LF or CR, each read as a target
// and a name (SiteLine.h); blank lines, comments and a target already listed skipped; at most 20.
std::vector<SiteLine> AcceptedSiteLines(std::string_view text);
// The list text with every line ending (CR LF, LF or CR) as CR LF, the way the preferences
// show and save an edited list.
std::string WithCrLfLineEnds(std::string_view text);

// The table for `lines` made from `old`: a line that was already a site keeps its record,
// wherever it was, and a new one starts unchecked. Dropped results are forgotten, as the
// check cycle starts over with the new table. With no old table, every record is new.
// A site whose name changed is the same site, under its new name.
std::vector<SiteRecord> CarrySiteState(const std::vector<SiteRecord>& old, const std::vector<SiteLine>& lines);
// The text of a list file's bytes as UTF-8: after a UTF-8 mark as it is, after a UTF-16 mark
// (FF FE or FE FF) converted, and a file with no mark that is not UTF-8 (one written in the
// ANSI code page) converted from that code page. A line holding a NUL is left out. `lossy`,
// when given, tells whether anything of the file was left out or replaced.
std::string SitesTextFromFile(std::string bytes, bool* lossy = nullptr);
// The list file at `path` as UTF-8 (SitesTextFromFile); empty when missing, empty or unreadable.
// `notWhole` tells a file that is there but could not be read whole: until the user gives a
// list of their own, saving must not write what was read over it.
std::string ReadSitesFile(const std::string& path, bool& notWhole);

// Reading and replacing a whole file on any path (UTF-8). `unreadable`, when
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
