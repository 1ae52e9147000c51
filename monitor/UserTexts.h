#pragma once
// The texts the monitor shows the user about its sites and its files, each defined here
// once and used wherever it appears.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvale {

struct SiteRecord;

// A site's ping value on its tile.
inline constexpr const char* kPingingText = "Ping...";
inline constexpr const char* kNotRespondingText = "Not responding";
// A round trip as the tile shows it: "192 ms".
inline std::string RoundTripText(int32_t milliseconds) { return std::to_string(milliseconds) + " ms"; }

// "45 s", "3 min 20 s", "2 h 5 min": a duration in whole seconds, to its two largest units.
std::string DownTimeText(double seconds);

// A site's tooltip text: its last round trip ("Ping: 192 ms "); for a site whose last check
// failed, the engine's reason and how long it has not answered; then its figures of the last
// ten results and since its statistics began. Before its first result, that it has none yet.
inline constexpr const char* kNotCheckedYetText = "Not checked yet";
std::string TooltipText(const SiteRecord& site);
// A tooltip's title, the site's text, cut with "..." to what the platform shows: at most
// kTooltipTitleMaxUnits UTF-16 units.
inline constexpr std::size_t kTooltipTitleMaxUnits = 99;
std::string TooltipTitle(std::string_view siteText);
// A site's title: "<name> (<target>)" for a site with a name, its target otherwise, cut as
// tooltip titles are.
std::string SiteTitle(const SiteRecord& site);

// What a failed save tells the user: which file could not take what was saved and, for
// the settings, in which folder (one the user cannot write, as a rule).
inline constexpr const char* kSitesNotSavedText = "Sites file could not be saved.";
inline constexpr const char* kSettingsNotSavedText = "Settings could not be saved.";
std::string SaveFailureText(bool sitesFailed, bool settingsFailed, std::string_view folder);

// What the user is told when the log's folder cannot take the log, which is then off.
std::string LogFailureText(std::string_view logFolder);
// What the user is told, once, when rows of the log had to be dropped.
std::string LogRowsDroppedText(std::string_view logFolder);

}  // namespace corvale
