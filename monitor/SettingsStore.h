#pragma once
// monitor.ini: its sections and keys, the reading and writing of one key, the load and save
// of all settings together with the site list, and what the user is told when a file
// cannot take them.

#include <functional>
#include <string>
#include <string_view>

#include "monitor/Conversions.h"
#include "monitor/Settings.h"

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
inline constexpr const char* kAlertsSection = "Alerts";
inline constexpr const char* kSoundKey = "Sound";
inline constexpr const char* kCommandKey = "Command";
inline constexpr const char* kWebHookKey = "WebHook";
inline constexpr const char* kWebHookBodyKey = "WebHookBody";
// Where the main window was left, desktop twips at the system's scale (ui/main/WindowPlace.h).
inline constexpr const char* kWindowSection = "Window";
inline constexpr const char* kWindowLeftKey = "Left";
inline constexpr const char* kWindowTopKey = "Top";

// Shows a message to the user (a message box by default; tests put their own in).
using UserMessageSink = std::function<void(std::string_view text)>;
// A message with an OK button under the program's title, task-modal.
void ShowMessageBox(std::string_view text);

// The settings file of one program folder.
class SettingsStore {
public:
    // `appFolder` ends in a backslash; an empty sink shows message boxes.
    explicit SettingsStore(std::string appFolder, UserMessageSink sink = {});

    const std::string& AppFolder() const { return appFolder_; }
    // A message for the user, through the sink in place.
    void Tell(std::string_view text) const;

    // One key; a missing file, section or key reads as the empty text. Values are read through
    // a buffer of `bufferChars` characters: the settings' own numbers fit the usual one, the
    // alerts' command lines and addresses get a larger one, so a long one is never cut.
    std::string Read(std::string_view section, std::string_view key, std::size_t bufferChars = kIniValueBuffer) const;
    // Writes one key. A file that does not exist yet is born whole: the settings in effect are
    // written with it, so the next start does not take every other setting as missing.
    // False when the file could not take the value (a folder the user cannot write).
    bool Write(std::string_view section, std::string_view key, std::string_view value,
               const ProgramSettings& inEffect);
    // A setting the user changed on its own, outside Save (the mode switch, a check box):
    // written at once; when the file cannot take it the user is told, and false is returned.
    bool Store(std::string_view section, std::string_view key, std::string_view value,
               const ProgramSettings& inEffect);

    // monitor.ini and sites.txt as the program starts with them. Without a monitor.ini the
    // first-run values apply; nothing is written.
    ProgramSettings Load() const;
    // Writes sites.txt and the settings the program owns. When either file cannot take them
    // the user is told once; false in that case.
    bool Save(const ProgramSettings& settings);

private:
    bool WriteKey(std::string_view section, std::string_view key, std::string_view value);
    bool WriteSettingsInEffect(const ProgramSettings& settings);
    void ReportNotSaved(bool sitesFailed, bool settingsFailed) const;

    std::string appFolder_;
    std::wstring iniPath_;
    UserMessageSink sink_;
};

}  // namespace corvale
