#include "monitor/Settings.h"

#include "monitor/Conversions.h"
#include "monitor/SiteList.h"

namespace corvale {

std::string AppFolder;
std::string SitesPath;
std::string SitesText;

// The start values of start-up; the first load replaces them.
float PingTimeout = 0.0f;
int16_t TransPerc = 100;
bool MiniMode = false;
float CheckInterval = 20.0f;
int16_t NormalHue = 0;
int16_t ErrorHue = 0;

std::string IniValueFromBuffer(std::string_view buffer) {
    std::string value = TextBeforeNul(buffer.substr(0, kIniValueBuffer - 1));
    while (!value.empty() && value.back() == ' ') value.pop_back();
    return value;
}

std::string_view IniValueToWrite(std::string_view value) {
    return value.substr(0, value.find_first_of("\r\n"));
}

bool SitesFileUnreadable = false;

std::string ReadSitesFile() { return ReadWholeFile(SitesPath, &SitesFileUnreadable); }

bool WriteSitesFile() { return ReplaceFileContents(SitesPath, SitesText); }

}  // namespace corvale
