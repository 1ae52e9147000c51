#include "monitor/UserTexts.h"

#include <cmath>

#include "engine/ResultText.h"
#include "monitor/SiteList.h"
#include "monitor/WideText.h"

namespace corvale {

std::string DownTimeText(double seconds) {
    const long total = seconds > 0 ? std::lround(seconds) : 0;
    if (total < 60) return std::to_string(total) + " s";
    // The two largest units; a zero second one is left out.
    const bool hours = total >= 3600;
    const long large = hours ? total / 3600 : total / 60;
    const long small = hours ? total % 3600 / 60 : total % 60;
    std::string text = std::to_string(large);
    text += hours ? " h" : " min";
    if (small != 0) {
        text += ' ';
        text += std::to_string(small);
        text += hours ? " min" : " s";
    }
    return text;
}

std::string TooltipText(const SiteRecord& site) {
    if (!site.Checked()) return kNotCheckedYetText;
    std::string text = "Ping: " + std::to_string(site.PingMs) + " ms ";
    if (site.NotResponding) {
        text += "\r\n" + tarnel::ResultText(site.ResultCode);
        // As of its last result: the tip is renewed with every result.
        if (const auto down = site.Stats.DownFor(site.Stats.LastResultAt()))
            text += "\r\nNot responding for " + DownTimeText(*down);
    }
    text += "\r\n" + RecentStatsLine(RecentSummary(site.History));
    text += "\r\n" + SinceBuiltLine(site.StatsSince, site.Stats.SinceBuilt());
    return text;
}

std::string SaveFailureText(bool sitesFailed, bool settingsFailed, std::string_view folder) {
    std::string text = sitesFailed ? kSitesNotSavedText : "";
    if (settingsFailed) {
        if (!text.empty()) text += "\r\n";
        text += kSettingsNotSavedText;
        text += "\r\n\r\n";
        text += folder;
    }
    return text;
}

std::string TooltipTitle(std::string_view siteText) { return FitWithEllipsis(siteText, kTooltipTitleMaxUnits); }

std::string SiteTitle(const SiteRecord& site) {
    return TooltipTitle(site.Name.empty() ? site.Url : site.Name + " (" + site.Url + ")");
}

std::string LogFailureText(std::string_view logFolder) {
    return "The log could not be written, so it is turned off.\r\n\r\n" + std::string(logFolder);
}

std::string LogRowsDroppedText(std::string_view logFolder) {
    return "The log files could not be written for a long time: some rows were dropped.\r\n\r\n" +
           std::string(logFolder);
}

}  // namespace corvale
