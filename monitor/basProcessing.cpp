// The check cycle of the program object: CheckStep, the collected result's one way into the
// site's record (ShowResult), and the round's end.
#include "monitor/basProcessing.h"

#include <algorithm>
#include <cmath>

#include "monitor/ProgramModel.h"
#include "monitor/UserTexts.h"

namespace corvale {

uint32_t SquareColourFor(int32_t roundTripMs) {
    if (roundTripMs <= 0) return kSquareRed;
    return roundTripMs <= kSlowRoundTripMs ? kSquareGreen : kSquareYellow;
}

uint32_t SquareColourFor(const SiteRecord& site) { return site.Checked() ? SquareColourFor(site.PingMs) : kSquareGrey; }

int32_t CheckTickDelayMs(const CheckCycleState& cycle, float now, float checkInterval) {
    if (cycle.RoundRunning) return kCheckTickMs;
    // A round starts once more than the interval has passed: wake just after that.
    const double dueInMs = (static_cast<double>(checkInterval) - std::fabs(now - cycle.RoundStart)) * 1000.0 + 1.0;
    if (!(dueInMs > kCheckTickMs)) return kCheckTickMs;
    return static_cast<int32_t>(std::min(std::ceil(dueInMs), static_cast<double>(kRestingTickMaxMs)));
}

void ProgramModel::CheckTick() {
    if (checkBusy_) return;
    checkBusy_ = true;
    CheckStep();
    checkBusy_ = false;
}

void ProgramModel::CheckNow() { cycle_.RoundStart -= settings_.CheckInterval; }

int32_t ProgramModel::NextTickDelayMs() {
    return CheckTickDelayMs(cycle_, host_.TimeOfDay(), settings_.CheckInterval);
}

// The site table can be made anew while events run inside a step (the preferences saved);
// a round whose site is gone ends, so nothing indexes outside the table.
bool ProgramModel::CurrentSiteGone() {
    const int16_t site = cycle_.CurrentSite;
    if (site >= 0 && site <= SiteLast()) return false;
    cycle_.RoundRunning = false;
    cycle_.RequestPending = false;
    cycle_.ResultReady = false;
    return true;
}

// The tile says the site is being checked; its colours, square and tip stay those of its
// last result. Handing the request over never waits, so no events need to run here: the
// step lets them run once, while it waits for the answer.
void ProgramModel::StartSite() {
    const int site = cycle_.CurrentSite;
    Tell([site](ModelObserver& o) { o.SiteChecking(site); });
    if (engine_.EnginePingStart(sites_[static_cast<std::size_t>(site)].Url, kCheckTimeoutMs) == 0) {
        cycle_.RequestPending = true;
        cycle_.ResultReady = false;
    }
}

void ProgramModel::CheckStep() {
    if (SiteLast() < 0) return;
    CheckCycleState& cycle = cycle_;

    const float now = host_.TimeOfDay();
    const float elapsed = std::fabs(now - cycle.RoundStart);
    if (elapsed > settings_.CheckInterval && !cycle.RoundRunning) {
        cycle.RoundStart = now;
        cycle.CurrentSite = 0;
        cycle.RoundRunning = true;
        cycle.RequestPending = false;
        cycle.ResultReady = false;
    }
    if (!cycle.RoundRunning || CurrentSiteGone()) return;

    std::string text;
    int32_t roundTripMs = 0, resultCode = 0;
    if (!cycle.RequestPending && engine_.EnginePingCheck(text, roundTripMs, resultCode) != 1) {
        StartSite();
        if (!cycle.RoundRunning) return;
    }
    if (cycle.RequestPending) {
        const int state = engine_.EnginePingCheck(text, roundTripMs, resultCode);
        host_.LetEventsRun();
        // Gone, or the cycle started over meanwhile: this result belongs to no site now.
        if (CurrentSiteGone() || !cycle.RequestPending) return;
        if (state != 1) cycle.ResultReady = true;
    }
    if (!cycle.ResultReady) return;

    SiteRecord& record = sites_[static_cast<std::size_t>(cycle.CurrentSite)];
    if (cycle.CurrentSite < SiteLast()) {
        if (record.PingMs == 0 && record.RetryCount == 0) {
            // Failed or never checked: this answer is dropped and the site asked again.
            ++record.RetryCount;
            cycle.RequestPending = false;
            cycle.ResultReady = false;
            return;
        }
        record.RetryCount = 0;
        ShowResult(roundTripMs, resultCode);
        cycle.RequestPending = false;
        cycle.ResultReady = false;
        ++cycle.CurrentSite;
        return;
    }
    ShowResult(roundTripMs, resultCode);
    cycle.RoundRunning = false;
    cycle.ResultReady = false;
    EndRound();
}

void ProgramModel::ShowResult(int32_t roundTripMs, int32_t resultCode) {
    const int site = cycle_.CurrentSite;
    if (site < 0 || site > SiteLast()) return;
    SiteRecord& record = sites_[static_cast<std::size_t>(site)];
    // A reply within one tick of the system clock, or one whose echoed time lies ahead of the
    // clock (a reply can carry any time): a reply all the same, never a negative time.
    if (resultCode == 0 && roundTripMs <= 0) roundTripMs = 1;
    if (roundTripMs < 0) roundTripMs = 0;
    record.NotResponding = roundTripMs == 0;
    record.PingMs = roundTripMs;
    record.ResultCode = resultCode;
    record.History.Add({host_.UnixMs(), roundTripMs, resultCode});
    // The engine leaves its text as it was given: the address is what the program knows.
    record.Address = SiteAddressText(record.Url);
    record.PingText = record.NotResponding ? kNotRespondingText : RoundTripText(roundTripMs);
    const double now = host_.AwakeSeconds();
    record.Stats.Add(!record.NotResponding, record.PingMs, now);
    notices_.Shown(record.Id, record.Url, !record.NotResponding, record.PingMs, now);
    LogResult(record);

    Tell([site](ModelObserver& o) { o.SiteShown(site); });
    TellOverall();
}

void ProgramModel::EndRound() {
    const std::string notice = notices_.EndRound();
    if (!notice.empty()) Tell([&](ModelObserver& o) { o.Notice(notice); });
    if (!log_) return;
    switch (log_->Flush()) {
    case ResultLog::FlushOutcome::Written:
    case ResultLog::FlushOutcome::Retrying: break;
    case ResultLog::FlushOutcome::Failed:
        settings_.Log = false;
        Tell([this](ModelObserver& o) { o.LogTurnedOff(logFolder_); });
        return;
    }
    if (log_->TakeRowsDroppedNews()) Tell([this](ModelObserver& o) { o.LogRowsDropped(logFolder_); });
}

}  // namespace corvale
