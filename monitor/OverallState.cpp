#include "monitor/OverallState.h"

#include <vector>

#include "monitor/SiteHistory.h"
#include "monitor/WideText.h"

namespace corvale {
namespace {

std::string SitesWord(std::size_t count) { return count == 1 ? " site" : " sites"; }

std::string CountOfList(std::size_t count, std::size_t listSize) {
    return std::to_string(count) + " of " + std::to_string(listSize) + SitesWord(listSize);
}

std::string Named(const std::vector<std::string_view>& names) {
    std::string text;
    for (std::string_view name : names) {
        if (!text.empty()) text += ", ";
        text += name;
    }
    return text;
}

}  // namespace

OverallState SummariseSites(std::span<const SiteSnapshot> sites) {
    if (sites.empty()) return {OverallColour::Grey, "No sites to watch"};
    std::vector<std::string_view> down, slow;
    bool allChecked = true;
    for (const SiteSnapshot& site : sites) {
        if (!site.checked) allChecked = false;
        else if (!site.answering) down.push_back(site.name);
        else if (site.roundTripMs > kSlowRoundTripMs) slow.push_back(site.name);
    }
    const std::size_t n = sites.size();
    if (!down.empty()) return {OverallColour::Red, CountOfList(down.size(), n) + " not responding: " + Named(down)};
    if (!allChecked) return {OverallColour::Grey, "Not checked yet"};
    if (!slow.empty()) return {OverallColour::Yellow, CountOfList(slow.size(), n) + " slow: " + Named(slow)};
    return {OverallColour::Green, n == 1 ? std::string("The site answers") : "All " + std::to_string(n) + " sites answer"};
}

std::string OverallTipText(std::string_view productName, const OverallState& state, std::size_t maxUnits) {
    return FitWithEllipsis(std::string(productName) + "\n" + state.text, maxUnits);
}

}  // namespace corvale
