#include "monitor/ProgramModel.h"

#include <algorithm>

namespace corvale {

ProgramModel::ProgramModel(ModelHost& host) : host_(host) {}

void ProgramModel::Start(ProgramSettings settings, std::unique_ptr<LogFiles> logFiles, std::string logFolder) {
    settings_ = std::move(settings);
    logFiles_ = std::move(logFiles);
    logFolder_ = std::move(logFolder);
    log_ = logFiles_ ? std::make_unique<ResultLog>(*logFiles_) : nullptr;
    BuildTable(AcceptedSiteLines(settings_.SitesText));
}

void ProgramModel::BuildTable(const std::vector<SiteLine>& lines) {
    sites_ = CarrySiteState(sites_, lines);
    const std::string now = host_.ShortTimeNow();
    std::set<uint32_t> ids;
    std::set<std::string, std::less<>> texts;
    for (SiteRecord& site : sites_) {
        if (site.Id == 0) site.Id = nextSiteId_++;
        if (site.StatsSince.empty()) site.StatsSince = now;
        ids.insert(site.Id);
        texts.insert(site.Url);
    }
    // What was gathered of sites that left the list goes with them; an outage of the whole
    // connection under way goes on.
    notices_.KeepOnly(ids);
    if (log_) log_->KeepOutagesOf(texts);
}

void ProgramModel::ApplyEdits(const ProgramSettings& edited) {
    // The files and the choices stored on their own are the program's, not the dialog's.
    ProgramSettings next = edited;
    next.AppFolder = settings_.AppFolder;
    next.SitesPath = settings_.SitesPath;
    next.Log = settings_.Log;
    next.Notify = settings_.Notify;
    next.Startup = settings_.Startup;
    next.MiniMode = settings_.MiniMode;
    settings_ = std::move(next);
    // A request still under way belongs to the old table: its result is dropped, and the
    // next round starts at once with the new one.
    cycle_.Reset();
    BuildTable(AcceptedSiteLines(settings_.SitesText));
    Tell([](ModelObserver& o) { o.SitesRebuilt(); });
    TellOverall();
}

void ProgramModel::SetKeepLog(bool on) {
    // An outage seen before a pause of the log did not necessarily last through it.
    if (settings_.Log && !on && log_) log_->ForgetOutages();
    if (!on) connectionOutage_.reset();
    settings_.Log = on;
}

OverallState ProgramModel::Overall() const {
    // While no site answers, where the connection breaks says more than the list of sites.
    if (verdict_ && !VerdictStateLine(*verdict_).empty())
        return {OverallColour::Red, std::string(VerdictStateLine(*verdict_))};
    std::vector<SiteSnapshot> sites;
    for (const SiteRecord& site : sites_) sites.push_back({ShownName(site), site.Checked(), !site.NotResponding, site.PingMs});
    return SummariseSites(sites);
}

void ProgramModel::TellOverall() {
    OverallState state = Overall();
    if (toldOverall_ == state) return;
    toldOverall_ = state;
    Tell([&](ModelObserver& o) { o.OverallChanged(state); });
}

void ProgramModel::LogResult(const SiteRecord& record) {
    if (!settings_.Log || !log_) return;
    log_->AddResult(host_.LocalNow(), host_.AwakeSeconds(), record.Url, record.Address, !record.NotResponding,
                    record.PingMs, record.ResultCode, record.Name);
}

void ProgramModel::ComputerSuspending() {
    resumeHandled_ = false;
    suspendedAt_ = host_.UnixMs();
}

void ProgramModel::ComputerResumed() {
    if (resumeHandled_) return;
    resumeHandled_ = true;
    const int64_t now = host_.UnixMs();
    // Where the suspend was not seen, the sleep began after the last result of any site.
    int64_t from = now;
    if (suspendedAt_) {
        from = *suspendedAt_;
    } else {
        int64_t last = INT64_MIN;
        for (const SiteRecord& site : sites_)
            if (!site.History.Empty()) last = std::max(last, site.History.Newest().atMs);
        if (last != INT64_MIN) from = std::min(last, now);
    }
    suspendedAt_.reset();
    sleeps_.push_back({from, now});
    std::erase_if(sleeps_, [now](const SleepSpan& span) { return span.toMs < now - kHistoryKeptMs; });

    cycle_.Reset();
    notices_.Resumed();
    if (settings_.Log && log_) log_->AddResume(host_.LocalNow());
}

void ProgramModel::MergeOlderResults(const OlderResultsMerge& merge) {
    std::vector<SiteHistory*> histories;
    for (SiteRecord& site : sites_) histories.push_back(&site.History);
    merge(histories, sleeps_);
}

bool ProgramModel::EngineBusy() {
    std::string text;
    int32_t roundTripMs = 0, resultCode = 0;
    return engine_.EnginePingCheck(text, roundTripMs, resultCode) == 1;
}

void ProgramModel::FlushLog() {
    if (log_) log_->Flush();
}

}  // namespace corvale
