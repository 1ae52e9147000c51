#pragma once
// The program's state, owned in one place: the settings in effect, the site table with all
// that is known of each site, the check cycle that drives the engine, the change notices and
// the log. A result takes one way through it: the cycle hands each finished result to the
// model once; the model writes it into the site's record, figures, history and notice state
// and into the log, and then tells its observers (the site's view, the tray), each once.
//
// Nothing here knows a window. What the model needs of the world (clocks, letting window
// events run, the log's files) comes through ModelHost and LogFiles, so the model runs the
// same natively as on Windows.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "monitor/ConnectionVerdict.h"
#include "monitor/DefaultRoute.h"
#include "monitor/OverallState.h"
#include "monitor/ResultLog.h"
#include "monitor/Settings.h"
#include "monitor/SiteHistory.h"
#include "monitor/SiteList.h"
#include "monitor/SiteNotices.h"
#include "monitor/basProcessing.h"
#include "monitor/basTarnel.h"

namespace corvale {

// The world as the model sees it.
class ModelHost {
public:
    virtual ~ModelHost() = default;
    // The time of day in seconds since midnight, which the rounds start by.
    virtual float TimeOfDay() = 0;
    // Seconds on a clock that stands still while the computer sleeps, which every duration
    // (statistics, notices, the log's outages) is measured on.
    virtual double AwakeSeconds() = 0;
    // The user's clock, for the log's rows, and as milliseconds since 1970 (UTC) for the history.
    virtual LocalTime LocalNow() = 0;
    virtual int64_t UnixMs() = 0;
    // The time of day as the user's clock shows it, without seconds ("14:02").
    virtual std::string ShortTimeNow() = 0;
    // Dispatches the window events that are pending and returns.
    virtual void LetEventsRun() = 0;
    // The computer's default route, as the system's routing table has it now.
    virtual DefaultRoute DefaultRouteNow(RouteFamily family) = 0;
};

// Told of what changed, after the model has taken it in.
class ModelObserver {
public:
    virtual ~ModelObserver() = default;
    // The check of site `site` began: its tile says so; nothing else of it changed.
    virtual void SiteChecking(int /*site*/) {}
    // Site `site`'s record holds a new result.
    virtual void SiteShown(int /*site*/) {}
    // The site table was made anew (an edited list): every site is to be shown afresh.
    virtual void SitesRebuilt() {}
    // The state of the whole list changed.
    virtual void OverallChanged(const OverallState& /*state*/) {}
    // The changes of the round that just ended.
    virtual void Notice(const RoundNotice& /*notice*/) {}
    // The log turned itself off (its folder cannot take it); Settings().Log is false now.
    virtual void LogTurnedOff(std::string_view /*folder*/) {}
    // Rows of the log were dropped, since its files could not be written for long.
    virtual void LogRowsDropped(std::string_view /*folder*/) {}
};

class ProgramModel {
public:
    explicit ProgramModel(ModelHost& host);

    void AddObserver(ModelObserver& observer) { observers_.push_back(&observer); }

    // The settings as loaded at start-up, the site table built from their list, and the log's
    // files (in the folder `logFolder`). Every site starts afresh.
    void Start(ProgramSettings settings, std::unique_ptr<LogFiles> logFiles, std::string logFolder);
    const ProgramSettings& Settings() const { return settings_; }

    // A Save: the edited settings and list take effect. Sites that stay keep their record,
    // figures, history, notice state and any open outage, wherever the list moves them; new
    // sites start afresh; removed ones take their state with them. A result the engine still
    // owes belongs to the old table and is dropped; the next round starts at once.
    void ApplyEdits(const ProgramSettings& edited);
    // Settings the user changes on their own, stored by the caller.
    void SetMiniMode(bool on) { settings_.MiniMode = on; }
    void SetNotify(bool on) { settings_.Notify = on; }
    void SetStartup(int16_t stored) { settings_.Startup = stored; }
    // Off, the log forgets the outages it saw begin: they are not known to last.
    void SetKeepLog(bool on);

    // Indexed 0..SiteLast(); SiteLast() is -1 when there is no site.
    const std::vector<SiteRecord>& Sites() const { return sites_; }
    int16_t SiteLast() const { return static_cast<int16_t>(static_cast<int>(sites_.size()) - 1); }
    OverallState Overall() const;
    // The times the computer slept in the last day, oldest first.
    std::span<const SleepSpan> Sleeps() const { return sleeps_; }
    // Results from before this run (an earlier run's log): `merge` is handed every site's
    // history, in table order, to add them to (SiteHistory::AddOlder keeps each in time
    // order), and the times asleep, to add to and keep in time order (MergeSleepSpans).
    using OlderResultsMerge = std::function<void(std::span<SiteHistory* const> histories, std::vector<SleepSpan>& sleeps)>;
    void MergeOlderResults(const OlderResultsMerge& merge);

    // The check timer's tick: one CheckStep unless one is already running further up the
    // stack (a step lets events run, and a tick may arrive among them).
    void CheckTick();
    bool CheckBusy() const { return checkBusy_; }
    const CheckCycleState& CheckCycle() const { return cycle_; }
    // The next round starts at the first tick at which no round is running.
    void CheckNow();
    // How long the check timer may wait for its next tick (CheckTickDelayMs).
    int32_t NextTickDelayMs();

    // The computer is about to sleep, and woke up. Windows tells a resume twice when the user
    // comes back to a computer that woke on its own; only the first after each suspend counts.
    // The round under way is abandoned (a result still owed is dropped), the change notices
    // keep quiet for a round, the log marks the gap, and the next round starts at once.
    void ComputerSuspending();
    void ComputerResumed();

    EngineBinding& Engine() { return engine_; }
    // The engine still works on a request (the shut-down waits for it, boundedly).
    bool EngineBusy();
    // The rows gathered and not yet written (the round under way at the shut-down).
    void FlushLog();

private:
    // basProcessing.cpp: the check cycle.
    void CheckStep();
    void StartSite();
    bool CurrentSiteGone();
    void ShowResult(int32_t roundTripMs, int32_t resultCode);
    // After the round's last site: every site failed, so the router is asked first.
    bool BeginRouterCheck();
    void RouterStep();
    void EndRound(std::optional<ConnectionVerdict> verdict = std::nullopt);
    void LogConnection(const RoundNotice& notice, const std::optional<ConnectionVerdict>& verdict);

    void BuildTable(const std::vector<SiteLine>& lines);
    void LogResult(const SiteRecord& record);
    void TellOverall();
    template <typename Call>
    void Tell(Call call) {
        for (ModelObserver* observer : observers_) call(*observer);
    }

    ModelHost& host_;
    std::vector<ModelObserver*> observers_;
    ProgramSettings settings_;
    std::vector<SiteRecord> sites_;
    uint32_t nextSiteId_ = 1;
    CheckCycleState cycle_;
    bool checkBusy_ = false;
    SiteNotices notices_;
    EngineBinding engine_;

    std::unique_ptr<LogFiles> logFiles_;
    std::unique_ptr<ResultLog> log_;
    std::string logFolder_;

    // The round under way: how many results it showed, whether one answered, the codes of the
    // failures, and where the connection breaks while every site fails.
    int roundResults_ = 0;
    bool roundAnswered_ = false;
    std::vector<int32_t> roundFailureCodes_;
    DefaultRoute route_;
    std::optional<ConnectionVerdict> verdict_;
    // An outage of the whole connection the log saw begin.
    struct ConnectionOutage {
        LocalTime downAt;
        double downElapsed = 0;
        std::string cause;
    };
    std::optional<ConnectionOutage> connectionOutage_;

    std::optional<OverallState> toldOverall_;
    std::vector<SleepSpan> sleeps_;
    std::optional<int64_t> suspendedAt_;
    bool resumeHandled_ = false;
};

}  // namespace corvale
