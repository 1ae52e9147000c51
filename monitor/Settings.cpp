// monitor.ini through the private-profile functions, and the load and save of all
// settings together with the site list.
#include <windows.h>

#include <string>

#include "monitor/AppFolder.h"
#include "monitor/Conversions.h"
#include "monitor/Settings.h"
#include "monitor/SiteList.h"
#include "monitor/UserTexts.h"
#include "ui/prefs/clsRegistry.h"

namespace corvale {
namespace {

UserMessageSink& MessageSink() {
    static UserMessageSink sink;
    return sink;
}

std::string IniPath() { return AppFolder + kIniFileName; }

}  // namespace

void SetUserMessageSink(UserMessageSink sink) { MessageSink() = std::move(sink); }

void ShowUserMessage(std::string_view text) {
    if (MessageSink()) {
        MessageSink()(text);
        return;
    }
    std::string message(text);
    // No owner is at hand, so the box disables every window of this thread itself:
    // otherwise the preferences dialog stays usable behind it and could be saved again
    // or closed while the Save that showed the box has not finished.
    MessageBoxA(nullptr, message.c_str(), kProgramTitle, MB_OK | MB_TASKMODAL);
}

std::string ReadIniValue(std::string_view section, std::string_view key) {
    // The buffer size is what the platform is told, so a long value is cut, not overrun.
    std::string buffer(kIniValueBuffer, ' ');
    GetPrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(), "",
                             buffer.data(), static_cast<DWORD>(buffer.size()), IniPath().c_str());
    return IniValueFromBuffer(buffer);
}

void WriteIniValue(std::string_view section, std::string_view key, std::string_view value) {
    WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                               std::string(IniValueToWrite(value)).c_str(), IniPath().c_str());
}

bool NotifyOnChange() { return ReadIniValue("General", "Notify") != "0"; }

void SetNotifyOnChange(bool on) { WriteIniValue("General", "Notify", on ? "1" : "0"); }

void LoadSettings() {
    const bool iniFound = FileExists(IniPath());
    clsRegistry registry;
    SitesText = ReadSitesFile();
    PingTimeout = static_cast<float>(SafeLong(ReadIniValue("General", "PingTimeout")));

    TransPerc = SafeInt(ReadIniValue("General", "TransPerc"));
    if (TransPerc < kMinTransPerc) TransPerc = kFallbackTransPerc;

    MiniMode = SafeBool(ReadIniValue("General", "MiniMode"));

    CheckInterval = SafeInt(ReadIniValue("General", "CheckInterval"));
    if (!(CheckInterval >= kMinCheckInterval)) CheckInterval = kFallbackCheckInterval;

    ParseSiteList(SitesText);

    // Every load applies the file to the registry, so the entry follows "Startup".
    switch (SafeInt(ReadIniValue("General", "Startup"))) {
        case 0: registry.RemoveFromStartup(); break;
        case 1: registry.AddToStartup(); break;
        default: break;
    }

    // A hue that does not fit 16 bits keeps the one in effect.
    int32_t hue = SafeLong(ReadIniValue("Colors", "Normal"));
    if (hue >= INT16_MIN && hue <= INT16_MAX) NormalHue = static_cast<int16_t>(hue);
    hue = SafeLong(ReadIniValue("Colors", "Error"));
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
    if (!listStored) ShowUserMessage(kSitesNotSavedText);
    WriteIniValue("General", "MiniMode", MiniMode ? "True" : "False");
    WriteIniValue("General", "CheckInterval", FormatIniNumber(CheckInterval));
    WriteIniValue("General", "TransPerc", std::to_string(TransPerc));
    WriteIniValue("Colors", "Normal", std::to_string(NormalHue));
    WriteIniValue("Colors", "Error", std::to_string(ErrorHue));
    return listStored;
}

}  // namespace corvale
