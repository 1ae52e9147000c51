// The check cycle of the program object: CheckStep, the collected result's one way into the
// site's record (ShowResult), and the round's end.
#include "monitor/basProcessing.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

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
        cycle = CheckCycleState{};
        cycle.RoundStart = now;
        cycle.RoundRunning = true;
        roundResults_ = 0;
        roundAnswered_ = false;
        roundFailureCodes_.clear();
    }
    if (cycle.RoundRunning && cycle.CheckingRouter) {
        RouterStep();
        return;
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
    cycle.RequestPending = false;
    cycle.ResultReady = false;
    if (BeginRouterCheck()) return;
    cycle.RoundRunning = false;
    EndRound();
}

bool ProgramModel::BeginRouterCheck() {
    // Nothing extra is sent while any site answers; one failing site is that site's own matter.
    if (roundResults_ < 2 || roundAnswered_) return false;
    std::vector<std::string_view> addresses;
    for (const SiteRecord& site : sites_) addresses.push_back(site.Address);
    route_ = host_.DefaultRouteNow(FamilyOfAddresses(addresses));
    if (route_.kind != DefaultRoute::Kind::ViaRouter) {
        cycle_.RoundRunning = false;
        EndRound(JudgeConnection(route_, false, roundFailureCodes_));
        return true;
    }
    cycle_.CheckingRouter = true;
    cycle_.Router = route_.router;
    return true;
}

// The router is asked as a site is, through the engine, and the round ends with its answer.
void ProgramModel::RouterStep() {
    std::string text;
    int32_t roundTripMs = 0, resultCode = 0;
    if (!cycle_.RequestPending) {
        if (engine_.EnginePingCheck(text, roundTripMs, resultCode) == 1) return;
        const int started = engine_.EnginePingStart(cycle_.Router, kCheckTimeoutMs);
        if (started == 1) return;
        if (started != 0) {
            // No engine to ask it: where the connection breaks is not known.
            cycle_ = CheckCycleState{.RoundStart = cycle_.RoundStart};
            EndRound(ConnectionVerdict{});
            return;
        }
        cycle_.RequestPending = true;
    }
    const int state = engine_.EnginePingCheck(text, roundTripMs, resultCode);
    host_.LetEventsRun();
    // Started over meanwhile (a Save, a resume): this answer belongs to no round now.
    if (!cycle_.CheckingRouter || !cycle_.RequestPending || state == 1) return;
    cycle_ = CheckCycleState{.RoundStart = cycle_.RoundStart};
    EndRound(JudgeConnection(route_, resultCode == 0, roundFailureCodes_));
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
    ++roundResults_;
    if (record.NotResponding) roundFailureCodes_.push_back(resultCode);
    else roundAnswered_ = true;
    // A site answers: whatever the verdict on the connection said no longer holds.
    if (!record.NotResponding) verdict_.reset();
    notices_.Shown(record.Id, ShownName(record), !record.NotResponding, record.PingMs, now);
    LogResult(record);

    Tell([site](ModelObserver& o) { o.SiteShown(site); });
    TellOverall();
}

void ProgramModel::EndRound(std::optional<ConnectionVerdict> verdict) {
    if (verdict) {
        verdict_ = verdict;
        TellOverall();
    }
    const RoundNotice notice = notices_.EndRound(verdict ? &*verdict : nullptr);
    LogConnection(notice, verdict);
    if (!notice.Empty()) Tell([&](ModelObserver& o) { o.Notice(notice); });
    if (!log_) return;
    switch (log_->Flush()) {
    case ResultLog::FlushOutcome::Written:
    case ResultLog::FlushOutcome::Retrying: break;
    case ResultLog::FlushOutcome::Failed:
        settings_.Log = false;
        connectionOutage_.reset();
        Tell([this](ModelObserver& o) { o.LogTurnedOff(logFolder_); });
        return;
    }
    if (log_->TakeRowsDroppedNews()) Tell([this](ModelObserver& o) { o.LogRowsDropped(logFolder_); });
}

// The outage of the whole connection is one row of the outage log, with its cause.
void ProgramModel::LogConnection(const RoundNotice& notice, const std::optional<ConnectionVerdict>& verdict) {
    if (!settings_.Log || !log_) return;
    const double now = host_.AwakeSeconds();
    if (notice.connectionDownSince) {
        const LocalTime local = host_.LocalNow();
        connectionOutage_ = {ShiftedLocalTime(local, -std::llround(now - *notice.connectionDownSince)),
                             *notice.connectionDownSince, {}};
    }
    // The first cause known is the one the outage began with.
    if (connectionOutage_ && connectionOutage_->cause.empty() && verdict)
        connectionOutage_->cause = VerdictCause(*verdict);
    if (notice.connectionUpAfter && connectionOutage_) {
        log_->AddConnectionOutage(connectionOutage_->downAt, host_.LocalNow(), now - connectionOutage_->downElapsed,
                                  connectionOutage_->cause);
        connectionOutage_.reset();
    }
}

}  // namespace corvale
