#pragma once
// The program's settings: the values of monitor.ini as the program holds them (read and
// written by SettingsStore.h), and the files they live in. The program object owns the one
// set in effect; the preferences edit a copy.

#include <cstdint>
#include <string>

namespace corvale {

// The start-with-Windows box as "General"/"Startup" holds it: 0 off, 1 on, 2 greyed; any
// other value leaves the entry alone.
inline constexpr int16_t kStartupNotStored = -1;

// What a web hook sends when the user gave no body of their own.
inline constexpr const char* kDefaultWebHookBody = "%MESSAGE%";

struct ProgramSettings {
    std::string AppFolder;  // the program's folder, ending in a backslash (UTF-8)
    std::string SitesPath;  // AppFolder + "sites.txt"
    std::string SitesText;  // the site list as last read or last confirmed (UTF-8)
    // The list's file exists but could not be read at the last load: until the user gives a
    // list of their own, saving must not write the empty list over it.
    bool SitesFileUnreadable = false;

    float PingTimeout = 0.0f;      // read but unused: the check cycle always asks for 2000 ms
    int16_t TransPerc = 100;       // alpha of the main window, 0..255 (not a percentage)
    bool MiniMode = false;         // compact layout of the main window
    float CheckInterval = 20.0f;   // seconds between the starts of two check rounds
    int16_t NormalHue = 0;         // tile hue of a responding site
    int16_t ErrorHue = 0;          // tile hue of a failing site
    int16_t Startup = kStartupNotStored;  // the stored start-with-Windows choice
    bool Notify = true;            // balloons for sites that stop or start answering
    bool Log = false;              // every shown result written to the log folder

    // Alerts beyond the balloon, for each round's notice.
    bool Sound = false;                   // the system's sounds for down and back
    std::string Command;                  // a program run for each notice line (placeholders)
    std::string WebHook;                  // an http or https address each notice is POSTed to
    std::string WebHookBody = kDefaultWebHookBody;
};

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
