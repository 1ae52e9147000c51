#pragma once
// The program's settings as every part of it reads them: process-wide values mirrored from
// monitor.ini, set up at start-up and replaced as a whole by the load (SettingsStore.h), and
// the files they live in.

#include <cstdint>
#include <string>

namespace corvale {

extern std::string AppFolder;  // the program's folder, ending in a backslash (UTF-8)
extern std::string SitesPath;  // AppFolder + "sites.txt"
extern std::string SitesText;  // the site list as last read or last confirmed (UTF-8)

extern float PingTimeout;    // read but unused: the check cycle always asks for 2000 ms
extern int16_t TransPerc;    // alpha of the main window, 0..255 (not a percentage)
extern bool MiniMode;        // compact layout of the main window
extern float CheckInterval;  // seconds between the starts of two check rounds
extern int16_t NormalHue;    // tile hue of a responding site
extern int16_t ErrorHue;     // tile hue of a failing site

inline constexpr const char* kIniFileName = "monitor.ini";
inline constexpr const char* kSitesFileName = "sites.txt";

// The lower bounds applied on every load.
inline constexpr int kMinTransPerc = 10;
inline constexpr int16_t kFallbackTransPerc = 30;
inline constexpr int kMinCheckInterval = 10;
inline constexpr float kFallbackCheckInterval = 20.0f;

// Where no monitor.ini exists at all (a program just unzipped): an opaque window, green
// tiles for the sites that answer and red ones for those that do not. An existing file
// with a key missing still gets the fallbacks above.
inline constexpr int16_t kFirstRunTransPerc = 255;
inline constexpr float kFirstRunCheckInterval = 20.0f;
inline constexpr int16_t kFirstRunNormalHue = 127;
inline constexpr int16_t kFirstRunErrorHue = 42;

}  // namespace corvale
