#include "monitor/basProcessing.h"

#include <cmath>

#include "monitor/Settings.h"
#include "monitor/SiteList.h"
#include "monitor/basTarnel.h"

namespace corvale {

float RoundStart = 0.0f;
int16_t CurrentSite = 0;
bool RoundRunning = false;
bool RequestPending = false;
bool ResultReady = false;
SiteNotices SiteChangeNotices;

namespace {

// The site table can be rebuilt while events run inside a step (the preferences saved);
// a round whose site is gone ends, so nothing indexes outside the table.
bool CurrentSiteGone() {
    if (CurrentSite >= 0 && CurrentSite <= SiteLast && static_cast<std::size_t>(CurrentSite) < Sites.size())
        return false;
    RoundRunning = false;
    RequestPending = false;
    ResultReady = false;
    return true;
}

void StartSite(CheckCycleHost& host) {
    const int site = CurrentSite;
    Sites[static_cast<std::size_t>(site)].NotResponding = false;
    host.SetPingValue(site, kPingingText);
    host.RefreshTile(site);
    host.LetEventsRun();
    if (CurrentSiteGone()) return;
    const int accepted = EnginePingStart(Sites[static_cast<std::size_t>(CurrentSite)], kCheckTimeoutMs);
    host.LetEventsRun();
    if (accepted == 0) {
        RequestPending = true;
        ResultReady = false;
    }
}

}  // namespace

uint32_t SquareColourFor(int32_t roundTripMs) {
    if (roundTripMs <= 0) return kSquareRed;
    return roundTripMs <= kSlowRoundTripMs ? kSquareGreen : kSquareYellow;
}

void CheckStep(CheckCycleHost& host) {
    if (SiteLast < 0) return;

    const float now = host.Now();
    const float elapsed = std::fabs(now - RoundStart);
    if (elapsed > CheckInterval && !RoundRunning) {
        RoundStart = now;
        CurrentSite = 0;
        RoundRunning = true;
        RequestPending = false;
        ResultReady = false;
    }
    if (!RoundRunning || CurrentSiteGone()) return;

    std::string text;
    int32_t roundTripMs = 0, resultCode = 0;
    if (!RequestPending && EnginePingCheck(text, roundTripMs, resultCode) != 1) {
        StartSite(host);
        if (!RoundRunning) return;
    }
    if (RequestPending) {
        const int state = EnginePingCheck(text, roundTripMs, resultCode);
        host.LetEventsRun();
        if (CurrentSiteGone()) return;
        if (state != 1) ResultReady = true;
    }
    if (!ResultReady) return;

    SiteRecord& record = Sites[static_cast<std::size_t>(CurrentSite)];
    if (CurrentSite < SiteLast) {
        if (record.PingMs == 0 && record.RetryCount == 0) {
            // Failed or never checked: this answer is dropped and the site asked again.
            ++record.RetryCount;
            RequestPending = false;
            ResultReady = false;
            return;
        }
        record.RetryCount = 0;
        ShowResult(host, roundTripMs, text, resultCode);
        RequestPending = false;
        ResultReady = false;
        ++CurrentSite;
        return;
    }
    ShowResult(host, roundTripMs, text, resultCode);
    RoundRunning = false;
    ResultReady = false;
    const std::string notice = SiteChangeNotices.EndRound();
    if (!notice.empty()) host.ShowNotice(notice);
}

void ShowResult(CheckCycleHost& host, int32_t roundTripMs, const std::string& text, int32_t resultCode) {
    if (CurrentSite < 0 || CurrentSite > SiteLast || static_cast<std::size_t>(CurrentSite) >= Sites.size()) return;
    const int site = CurrentSite;
    SiteRecord& record = Sites[static_cast<std::size_t>(site)];
    if (roundTripMs == 0) {
        if (resultCode != 0) record.NotResponding = true;
        else roundTripMs = 1;  // a reply within one tick of the system clock
    }
    record.PingMs = roundTripMs;
    record.Address = text;
    record.PingText = record.NotResponding ? kNotRespondingText : std::to_string(roundTripMs) + " ms";
    SiteChangeNotices.Shown(static_cast<std::size_t>(site), record.Url, !record.NotResponding, record.PingMs,
                            host.Now());

    host.SetSiteURL(site, record.Url);
    host.SetPingValue(site, record.PingText);
    host.SetPingNumeric(site, record.PingMs);
    host.SetSquareColour(site, SquareColourFor(record.PingMs));
    host.RefreshTile(site);
    host.LetEventsRun();
}

void CheckTick(CheckCycleHost& host, bool& busy) {
    if (busy) return;
    busy = true;
    CheckStep(host);
    busy = false;
}

void CheckNow() { RoundStart = RoundStart - CheckInterval; }

}  // namespace corvale
