// monitor.ini through the private-profile functions, and the load and save of all
// settings together with the site list. Paths and texts go to the system's wide-character
// calls, so the program's folder may have any name; the system reads a file written in
// the ANSI code page (as earlier versions wrote it) and writes new files that way.
#include "monitor/SettingsStore.h"

#include <windows.h>

#include <string>

#include "monitor/AppFolder.h"
#include "monitor/Conversions.h"
#include "monitor/SiteList.h"
#include "monitor/UserTexts.h"
#include "monitor/WideText.h"

namespace corvale {
namespace {

// The alerts' values: a command line or an address with a key in it can be long.
constexpr std::size_t kLongValueBuffer = 4096;

}  // namespace

void ShowMessageBox(std::string_view text) {
    // No owner is at hand, so the box disables every window of this thread itself:
    // otherwise the preferences dialog stays usable behind it and could be saved again
    // or closed while the Save that showed the box has not finished.
    MessageBoxW(nullptr, Widen(text).c_str(), Widen(kProgramTitle).c_str(), MB_OK | MB_TASKMODAL);
}

SettingsStore::SettingsStore(std::string appFolder, UserMessageSink sink)
    : appFolder_(std::move(appFolder)), iniPath_(Widen(appFolder_ + kIniFileName)), sink_(std::move(sink)) {}

void SettingsStore::Tell(std::string_view text) const {
    if (sink_) sink_(text);
    else ShowMessageBox(text);
}

bool SettingsStore::WriteKey(std::string_view section, std::string_view key, std::string_view value) {
    return WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(),
                                      Widen(IniValueQuoted(IniValueToWrite(value))).c_str(), iniPath_.c_str()) != FALSE;
}

// The settings the program owns, as they are in memory; every key is tried, whatever became
// of the one before.
bool SettingsStore::WriteSettingsInEffect(const ProgramSettings& settings) {
    bool stored = WriteKey(kGeneralSection, kMiniModeKey, settings.MiniMode ? "True" : "False");
    stored &= WriteKey(kGeneralSection, kCheckIntervalKey, FormatIniNumber(settings.CheckInterval));
    stored &= WriteKey(kGeneralSection, kTransPercKey, std::to_string(settings.TransPerc));
    stored &= WriteKey(kColorsSection, kNormalHueKey, std::to_string(settings.NormalHue));
    stored &= WriteKey(kColorsSection, kErrorHueKey, std::to_string(settings.ErrorHue));
    stored &= WriteKey(kAlertsSection, kSoundKey, settings.Sound ? "1" : "0");
    stored &= WriteKey(kAlertsSection, kCommandKey, settings.Command);
    stored &= WriteKey(kAlertsSection, kWebHookKey, settings.WebHook);
    stored &= WriteKey(kAlertsSection, kWebHookBodyKey, settings.WebHookBody);
    return stored;
}

void SettingsStore::ReportNotSaved(bool sitesFailed, bool settingsFailed) const {
    if (sitesFailed || settingsFailed) Tell(SaveFailureText(sitesFailed, settingsFailed, appFolder_));
}

std::string SettingsStore::Read(std::string_view section, std::string_view key, std::size_t bufferChars) const {
    // The buffer size is what the platform is told, so a long value is cut, not overrun.
    std::wstring buffer(bufferChars, L' ');
    GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), L"", buffer.data(),
                             static_cast<DWORD>(buffer.size()), iniPath_.c_str());
    const std::string value = Narrow(buffer.substr(0, buffer.find(L'\0')));
    return bufferChars == kIniValueBuffer ? IniValueFromBuffer(value) : value;
}

bool SettingsStore::Write(std::string_view section, std::string_view key, std::string_view value,
                          const ProgramSettings& inEffect) {
    bool stored = true;
    if (!FileExists(appFolder_ + kIniFileName)) stored = WriteSettingsInEffect(inEffect);
    return WriteKey(section, key, value) && stored;
}

bool SettingsStore::Store(std::string_view section, std::string_view key, std::string_view value,
                          const ProgramSettings& inEffect) {
    const bool stored = Write(section, key, value, inEffect);
    ReportNotSaved(false, !stored);
    return stored;
}

ProgramSettings SettingsStore::Load() const {
    ProgramSettings s;
    s.AppFolder = appFolder_;
    s.SitesPath = appFolder_ + kSitesFileName;
    const bool iniFound = FileExists(appFolder_ + kIniFileName);
    s.SitesText = ReadSitesFile(s.SitesPath, s.SitesFileUnreadable);
    s.PingTimeout = static_cast<float>(SafeLong(Read(kGeneralSection, kPingTimeoutKey)));

    s.TransPerc = SafeInt(Read(kGeneralSection, kTransPercKey));
    if (s.TransPerc < kMinTransPerc) s.TransPerc = kFallbackTransPerc;
    s.MiniMode = SafeBool(Read(kGeneralSection, kMiniModeKey));
    s.CheckInterval = SafeInt(Read(kGeneralSection, kCheckIntervalKey));
    if (!(s.CheckInterval >= kMinCheckInterval)) s.CheckInterval = kFallbackCheckInterval;

    // A hue that does not fit 16 bits keeps the start value.
    int32_t hue = SafeLong(Read(kColorsSection, kNormalHueKey));
    if (hue >= INT16_MIN && hue <= INT16_MAX) s.NormalHue = static_cast<int16_t>(hue);
    hue = SafeLong(Read(kColorsSection, kErrorHueKey));
    if (hue >= INT16_MIN && hue <= INT16_MAX) s.ErrorHue = static_cast<int16_t>(hue);

    const std::string startup = Read(kGeneralSection, kStartupKey);
    s.Startup = startup.empty() ? kStartupNotStored : SafeInt(startup);
    // Only "0" turns the balloons off and only "1" turns the log on.
    s.Notify = Read(kGeneralSection, kNotifyKey) != "0";
    s.Log = Read(kGeneralSection, kLogKey) == "1";
    s.Sound = Read(kAlertsSection, kSoundKey) == "1";
    s.Command = Read(kAlertsSection, kCommandKey, kLongValueBuffer);
    s.WebHook = Read(kAlertsSection, kWebHookKey, kLongValueBuffer);
    s.WebHookBody = Read(kAlertsSection, kWebHookBodyKey, kLongValueBuffer);
    if (s.WebHookBody.empty()) s.WebHookBody = kDefaultWebHookBody;

    if (!iniFound) {
        s.TransPerc = kFirstRunTransPerc;
        s.CheckInterval = kFirstRunCheckInterval;
        s.NormalHue = kFirstRunNormalHue;
        s.ErrorHue = kFirstRunErrorHue;
    }
    return s;
}

bool SettingsStore::Save(const ProgramSettings& settings) {
    // An unread list is not the user's empty list: the file keeps what it holds.
    const bool listStored = settings.SitesFileUnreadable || ReplaceFileContents(settings.SitesPath, settings.SitesText);
    const bool settingsStored = WriteSettingsInEffect(settings);
    ReportNotSaved(!listStored, !settingsStored);
    return listStored && settingsStored;
}

}  // namespace corvale
