// monitor.ini through the private-profile functions, and the load and save of all
// settings together with the site list. Paths and texts go to the system's wide-character
// calls, so the program's folder may have any name; the system reads a file written in
// the ANSI code page (as earlier versions wrote it) and writes new files that way.
#include "monitor/SettingsStore.h"

#include <windows.h>

#include <string>

#include "monitor/AppFolder.h"
#include "monitor/Conversions.h"
#include "monitor/Settings.h"
#include "monitor/SiteList.h"
#include "monitor/UserTexts.h"
#include "ui/base/WideText.h"
#include "ui/prefs/clsRegistry.h"

namespace corvale {
namespace {

UserMessageSink& MessageSink() {
    static UserMessageSink sink;
    return sink;
}

std::wstring IniPath() { return Widen(AppFolder + kIniFileName); }

bool WriteKey(std::string_view section, std::string_view key, std::string_view value) {
    return WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(),
                                      Widen(IniValueToWrite(value)).c_str(), IniPath().c_str()) != FALSE;
}

// The settings the program owns, as they are in memory; every key is tried, whatever became
// of the one before.
bool WriteSettingsInEffect() {
    bool stored = WriteKey(kGeneralSection, kMiniModeKey, MiniMode ? "True" : "False");
    stored &= WriteKey(kGeneralSection, kCheckIntervalKey, FormatIniNumber(CheckInterval));
    stored &= WriteKey(kGeneralSection, kTransPercKey, std::to_string(TransPerc));
    stored &= WriteKey(kColorsSection, kNormalHueKey, std::to_string(NormalHue));
    stored &= WriteKey(kColorsSection, kErrorHueKey, std::to_string(ErrorHue));
    return stored;
}

void ReportNotSaved(bool sitesFailed, bool settingsFailed) {
    if (sitesFailed || settingsFailed) ShowUserMessage(SaveFailureText(sitesFailed, settingsFailed, AppFolder));
}

// "General"/"Startup": 0 removes the start-with-Windows entry, 1 adds it, anything else
// leaves it; a missing key reads as 0.
void ApplyStartupKey() {
    clsRegistry registry;
    switch (SafeInt(ReadIniValue(kGeneralSection, kStartupKey))) {
        case 0: registry.RemoveFromStartup(); break;
        case 1: registry.AddToStartup(); break;
        default: break;
    }
}

}  // namespace

void SetUserMessageSink(UserMessageSink sink) { MessageSink() = std::move(sink); }

void ShowUserMessage(std::string_view text) {
    if (MessageSink()) {
        MessageSink()(text);
        return;
    }
    // No owner is at hand, so the box disables every window of this thread itself:
    // otherwise the preferences dialog stays usable behind it and could be saved again
    // or closed while the Save that showed the box has not finished.
    MessageBoxW(nullptr, Widen(text).c_str(), Widen(kProgramTitle).c_str(), MB_OK | MB_TASKMODAL);
}

std::string ReadIniValue(std::string_view section, std::string_view key) {
    // The buffer size is what the platform is told, so a long value is cut, not overrun.
    std::wstring buffer(kIniValueBuffer, L' ');
    GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), L"", buffer.data(),
                             static_cast<DWORD>(buffer.size()), IniPath().c_str());
    return IniValueFromBuffer(Narrow(buffer.substr(0, buffer.find(L'\0'))));
}

bool WriteIniValue(std::string_view section, std::string_view key, std::string_view value) {
    // The file is born whole: one holding a single key would make the next start take every
    // other setting as missing (a nearly transparent window, magenta tiles) rather than as
    // the first run's values the user has been seeing.
    bool stored = true;
    if (!FileExists(AppFolder + kIniFileName)) stored = WriteSettingsInEffect();
    return WriteKey(section, key, value) && stored;
}

bool StoreSetting(std::string_view section, std::string_view key, std::string_view value) {
    const bool stored = WriteIniValue(section, key, value);
    ReportNotSaved(false, !stored);
    return stored;
}

bool NotifyOnChange() { return ReadIniValue(kGeneralSection, kNotifyKey) != "0"; }

bool SetNotifyOnChange(bool on) { return StoreSetting(kGeneralSection, kNotifyKey, on ? "1" : "0"); }

bool KeepLog() { return ReadIniValue(kGeneralSection, kLogKey) == "1"; }

bool SetKeepLog(bool on) { return StoreSetting(kGeneralSection, kLogKey, on ? "1" : "0"); }

void LoadSettings() {
    const bool iniFound = FileExists(AppFolder + kIniFileName);
    SitesText = ReadSitesFile();
    PingTimeout = static_cast<float>(SafeLong(ReadIniValue(kGeneralSection, kPingTimeoutKey)));

    TransPerc = SafeInt(ReadIniValue(kGeneralSection, kTransPercKey));
    if (TransPerc < kMinTransPerc) TransPerc = kFallbackTransPerc;

    MiniMode = SafeBool(ReadIniValue(kGeneralSection, kMiniModeKey));

    CheckInterval = SafeInt(ReadIniValue(kGeneralSection, kCheckIntervalKey));
    if (!(CheckInterval >= kMinCheckInterval)) CheckInterval = kFallbackCheckInterval;

    ParseSiteList(SitesText);
    // Every load applies the file to the registry, so the entry follows "Startup".
    ApplyStartupKey();

    // A hue that does not fit 16 bits keeps the one in effect.
    int32_t hue = SafeLong(ReadIniValue(kColorsSection, kNormalHueKey));
    if (hue >= INT16_MIN && hue <= INT16_MAX) NormalHue = static_cast<int16_t>(hue);
    hue = SafeLong(ReadIniValue(kColorsSection, kErrorHueKey));
    if (hue >= INT16_MIN && hue <= INT16_MAX) ErrorHue = static_cast<int16_t>(hue);

    if (!iniFound) {
        TransPerc = kFirstRunTransPerc;
        CheckInterval = kFirstRunCheckInterval;
        NormalHue = kFirstRunNormalHue;
        ErrorHue = kFirstRunErrorHue;
    }
}

bool SaveSettings() {
    // An unread list is not the user's empty list: the file keeps what it holds.
    const bool listStored = SitesFileUnreadable || WriteSitesFile();
    const bool settingsStored = WriteSettingsInEffect();
    ReportNotSaved(!listStored, !settingsStored);
    return listStored && settingsStored;
}

}  // namespace corvale
