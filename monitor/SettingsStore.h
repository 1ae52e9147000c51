#pragma once
// monitor.ini: its sections and keys, the reading and writing of one key, the load and save
// of all settings together with the site list, and what the user is told when a file
// cannot take them.

#include <functional>
#include <string>
#include <string_view>

namespace corvale {

inline constexpr const char* kGeneralSection = "General";
inline constexpr const char* kPingTimeoutKey = "PingTimeout";
inline constexpr const char* kTransPercKey = "TransPerc";
inline constexpr const char* kMiniModeKey = "MiniMode";
inline constexpr const char* kCheckIntervalKey = "CheckInterval";
inline constexpr const char* kStartupKey = "Startup";
inline constexpr const char* kNotifyKey = "Notify";
inline constexpr const char* kLogKey = "Log";
inline constexpr const char* kColorsSection = "Colors";
inline constexpr const char* kNormalHueKey = "Normal";
inline constexpr const char* kErrorHueKey = "Error";
// Where the main window was left, desktop twips at the system's scale (ui/main/WindowPlace.h).
inline constexpr const char* kWindowSection = "Window";
inline constexpr const char* kWindowLeftKey = "Left";
inline constexpr const char* kWindowTopKey = "Top";

// One key of AppFolder + "monitor.ini"; a missing file, section or key reads as the empty
// text. Writing creates the file when missing, with the settings in effect beside the key;
// false when the file could not take the value (a folder the user cannot write), which the
// caller tells the user about.
std::string ReadIniValue(std::string_view section, std::string_view key);
bool WriteIniValue(std::string_view section, std::string_view key, std::string_view value);
// A setting the user changed on its own, outside Save (the mode switch, a check box):
// written at once; when the file cannot take it the user is told, and false is returned.
bool StoreSetting(std::string_view section, std::string_view key, std::string_view value);

// Reads monitor.ini and sites.txt into the settings and the site table and brings the
// start-with-Windows entry in line with the file. Without a monitor.ini the first-run
// values apply; nothing is written.
void LoadSettings();
// Writes sites.txt and the settings the program owns. When either file cannot take them
// the user is told once; the settings in memory stay as they are. False in that case.
bool SaveSettings();

// "General"/"Notify": whether a site that stops or starts answering is told in the
// notification area. Only "0" turns it off; a missing or unreadable value means on.
// Read from the file each time and stored at once (StoreSetting); SaveSettings leaves it.
bool NotifyOnChange();
bool SetNotifyOnChange(bool on);

// "General"/"Log": whether every shown result is written to the log folder. Only "1" turns
// it on; a missing value means off. Stored at once, like "Notify".
bool KeepLog();
bool SetKeepLog(bool on);

// Shows a message to the user (a message box by default). Tests put their own in.
using UserMessageSink = std::function<void(std::string_view text)>;
void SetUserMessageSink(UserMessageSink sink);  // an empty sink restores the message box
// A message with an OK button under the program's title, through the sink in place.
void ShowUserMessage(std::string_view text);

}  // namespace corvale
