#include "monitor/basProcessing.h"

#include <algorithm>
#include <cmath>

#include "monitor/Settings.h"
#include "monitor/UserTexts.h"
#include "monitor/basTarnel.h"

namespace corvale {

CheckCycleState CheckCycle;
SiteNotices SiteChangeNotices;

namespace {

// The site table can be rebuilt while events run inside a step (the preferences saved);
// a round whose site is gone ends, so nothing indexes outside the table.
bool CurrentSiteGone() {
    const int16_t site = CheckCycle.CurrentSite;
    if (site >= 0 && site <= SiteLast && static_cast<std::size_t>(site) < Sites.size()) return false;
    CheckCycle.RoundRunning = false;
    CheckCycle.RequestPending = false;
    CheckCycle.ResultReady = false;
    return true;
}

// The tile says the site is being checked; its colours, square and tip stay those of its
// last result, so nothing else of it is renewed. Handing the request over never waits, so
// no events need to run here: the step lets them run once, while it waits for the answer.
void StartSite(CheckCycleHost& host) {
    const int site = CheckCycle.CurrentSite;
    host.SetPingValue(site, kPingingText);
    if (EnginePingStart(Sites[static_cast<std::size_t>(site)], kCheckTimeoutMs) == 0) {
        CheckCycle.RequestPending = true;
        CheckCycle.ResultReady = false;
    }
}

}  // namespace

uint32_t SquareColourFor(int32_t roundTripMs) {
    if (roundTripMs <= 0) return kSquareRed;
    return roundTripMs <= kSlowRoundTripMs ? kSquareGreen : kSquareYellow;
}

uint32_t SquareColourFor(const SiteRecord& site) { return site.Checked ? SquareColourFor(site.PingMs) : kSquareGrey; }

void CheckStep(CheckCycleHost& host) {
    if (SiteLast < 0) return;
    CheckCycleState& cycle = CheckCycle;

    const float now = host.Now();
    const float elapsed = std::fabs(now - cycle.RoundStart);
    if (elapsed > CheckInterval && !cycle.RoundRunning) {
        cycle.RoundStart = now;
        cycle.CurrentSite = 0;
        cycle.RoundRunning = true;
        cycle.RequestPending = false;
        cycle.ResultReady = false;
    }
    if (!cycle.RoundRunning || CurrentSiteGone()) return;

    std::string text;
    int32_t roundTripMs = 0, resultCode = 0;
    if (!cycle.RequestPending && EnginePingCheck(text, roundTripMs, resultCode) != 1) {
        StartSite(host);
        if (!cycle.RoundRunning) return;
    }
    if (cycle.RequestPending) {
        const int state = EnginePingCheck(text, roundTripMs, resultCode);
        host.LetEventsRun();
        // Gone, or the cycle started over meanwhile: this result belongs to no site now.
        if (CurrentSiteGone() || !cycle.RequestPending) return;
        if (state != 1) cycle.ResultReady = true;
    }
    if (!cycle.ResultReady) return;

    SiteRecord& record = Sites[static_cast<std::size_t>(cycle.CurrentSite)];
    if (cycle.CurrentSite < SiteLast) {
        if (record.PingMs == 0 && record.RetryCount == 0) {
            // Failed or never checked: this answer is dropped and the site asked again.
            ++record.RetryCount;
            cycle.RequestPending = false;
            cycle.ResultReady = false;
            return;
        }
        record.RetryCount = 0;
        ShowResult(host, roundTripMs, text, resultCode);
        cycle.RequestPending = false;
        cycle.ResultReady = false;
        ++cycle.CurrentSite;
        return;
    }
    ShowResult(host, roundTripMs, text, resultCode);
    cycle.RoundRunning = false;
    cycle.ResultReady = false;
    const std::string notice = SiteChangeNotices.EndRound();
    if (!notice.empty()) host.ShowNotice(notice);
    host.RoundEnded();
}

void ShowResult(CheckCycleHost& host, int32_t roundTripMs, const std::string& text, int32_t resultCode) {
    const int site = CheckCycle.CurrentSite;
    if (site < 0 || site > SiteLast || static_cast<std::size_t>(site) >= Sites.size()) return;
    SiteRecord& record = Sites[static_cast<std::size_t>(site)];
    // A reply within one tick of the system clock, or one whose echoed time lies ahead of the
    // clock (a reply can carry any time): a reply all the same, never a negative time.
    if (resultCode == 0 && roundTripMs <= 0) roundTripMs = 1;
    record.NotResponding = roundTripMs == 0;
    record.PingMs = roundTripMs;
    record.ResultCode = resultCode;
    record.Checked = true;
    record.History.Add(roundTripMs);
    record.Address = text;
    record.PingText = record.NotResponding ? kNotRespondingText : RoundTripText(roundTripMs);
    const double now = host.AwakeTime();
    record.Stats.Add(!record.NotResponding, record.PingMs, now);
    SiteChangeNotices.Shown(static_cast<std::size_t>(site), record.Url, !record.NotResponding, record.PingMs, now);

    host.SetSiteURL(site, record.Url);
    host.SetPingValue(site, record.PingText);
    host.SetPingNumeric(site, record.PingMs);
    host.SetSquareColour(site, SquareColourFor(record));
    host.RefreshTile(site);
    host.ResultShown(site);
}

void CheckTick(CheckCycleHost& host, bool& busy) {
    if (busy) return;
    busy = true;
    CheckStep(host);
    busy = false;
}

void CheckNow() { CheckCycle.RoundStart = CheckCycle.RoundStart - CheckInterval; }

int32_t CheckTickDelayMs(const CheckCycleState& cycle, float now, float checkInterval) {
    if (cycle.RoundRunning) return kCheckTickMs;
    // A round starts once more than the interval has passed: wake just after that.
    const double dueInMs = (static_cast<double>(checkInterval) - std::fabs(now - cycle.RoundStart)) * 1000.0 + 1.0;
    if (!(dueInMs > kCheckTickMs)) return kCheckTickMs;
    return static_cast<int32_t>(std::min(std::ceil(dueInMs), static_cast<double>(kRestingTickMaxMs)));
}

}  // namespace corvale
