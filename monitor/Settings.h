#pragma once
// The program's settings, mirrored from monitor.ini, and the files they live in.
// Process-wide: set up at start-up, read by every part of the program, replaced as a
// whole by LoadSettings.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace corvale {

extern std::string AppFolder;  // the program's folder, ending in a backslash
extern std::string SitesPath;  // AppFolder + "sites.txt"
extern std::string SitesText;  // the site list as last read or last confirmed

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

// Values are read through a buffer of this many characters, so longer values are cut
// to one less (room for the terminating NUL).
inline constexpr std::size_t kIniValueBuffer = 145;

// What a value read from monitor.ini becomes: cut at its first NUL and to the read
// buffer, trailing spaces removed.
std::string IniValueFromBuffer(std::string_view buffer);
// What may be written as a value: everything before the first line break, so a value
// can never add lines (keys or sections) of its own to the file.
std::string_view IniValueToWrite(std::string_view value);

#ifdef _WIN32
// One key of AppFolder + "monitor.ini"; a missing file, section or key reads as the
// empty text. Writing creates the file when missing; failures are not reported.
std::string ReadIniValue(std::string_view section, std::string_view key);
void WriteIniValue(std::string_view section, std::string_view key, std::string_view value);

// Reads monitor.ini and sites.txt into the settings and the site table and brings the
// start-with-Windows entry in line with the file. Without a monitor.ini the first-run
// values apply; nothing is written.
void LoadSettings();
// Writes sites.txt and the settings the program owns; a failed site list write is
// shown to the user, everything else goes on regardless. False when the list could not
// be written (the file keeps what it held).
bool SaveSettings();

// "General"/"Notify": whether a site that stops or starts answering is told in the
// notification area. Only "0" turns it off; a missing or unreadable value means on.
// Read from the file each time and written at once; SaveSettings leaves it alone.
bool NotifyOnChange();
void SetNotifyOnChange(bool on);

// Shows a message to the user (a message box by default). Tests put their own in.
using UserMessageSink = std::function<void(std::string_view text)>;
void SetUserMessageSink(UserMessageSink sink);  // an empty sink restores the message box
// A message with an OK button under the program's title, through the sink in place.
void ShowUserMessage(std::string_view text);
#endif

}  // namespace corvale
