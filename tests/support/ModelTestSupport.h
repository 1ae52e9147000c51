#pragma once
// The program object in a test: a host whose clocks the test sets and whose event pump it
// can hook, log files in memory, and an observer that records what the views were told.

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ScriptedEngine.h"
#include "monitor/ProgramModel.h"
#include "monitor/UserTexts.h"

namespace corvale::test {

struct FakeModelHost : ModelHost {
    float now = 1000.0f;  // the time of day and, in seconds, every other clock
    int64_t unixBaseMs = 1'765'000'000'000;
    std::function<void()> duringEvents;

    float TimeOfDay() override { return now; }
    double AwakeSeconds() override { return now; }
    LocalTime LocalNow() override {
        const int seconds = static_cast<int>(now);
        return {2026, 12, 9, seconds / 3600 % 24, seconds / 60 % 60, seconds % 60, 60};
    }
    int64_t UnixMs() override { return unixBaseMs + static_cast<int64_t>(now * 1000); }
    std::string ShortTimeNow() override { return "14:02"; }
    DefaultRoute DefaultRouteNow(RouteFamily) override { return route; }
    DefaultRoute route{DefaultRoute::Kind::ViaRouter, "192.168.1.1"};
    void LetEventsRun() override {
        if (duringEvents) duringEvents();
    }
};

// Files in memory; a name in `busy` is held by another program, `failing` makes every write fail.
struct MemoryLogFiles : LogFiles {
    std::map<std::string, std::string> files;
    std::set<std::string> busy;
    bool failing = false;
    Outcome Append(const std::string& name, std::string_view header, std::string_view rows) override {
        if (failing) return Outcome::Failed;
        if (busy.count(name)) return Outcome::Busy;
        std::string& file = files[name];
        if (file.empty()) file = std::string(header) + "\r\n";
        file += rows;
        return Outcome::Written;
    }
};

// What a site's tile was told, as the program's view would show it.
struct ShownSite {
    std::vector<std::string> values;  // every ping value the tile showed, in order
    std::string value;
    uint32_t square = 0;
    bool errorColours = false;
};

struct RecordingObserver : ModelObserver {
    explicit RecordingObserver(const ProgramModel& model) : model(model) {}
    const ProgramModel& model;
    std::map<int, ShownSite> sites;
    std::vector<int> shown;  // SiteShown, in order
    std::vector<std::string> notices;

    void SiteChecking(int site) override {
        sites[site].value = kPingingText;
        sites[site].values.emplace_back(kPingingText);
    }
    void SiteShown(int site) override {
        const SiteRecord& record = model.Sites()[static_cast<std::size_t>(site)];
        ShownSite& tile = sites[site];
        tile.value = record.PingText;
        tile.values.push_back(record.PingText);
        tile.square = SquareColourFor(record);
        tile.errorColours = record.NotResponding;
        shown.push_back(site);
    }
    void Notice(const RoundNotice& notice) override { notices.push_back(notice.Text()); }
};

// A program object over the scripted engine with the list `sites`, its log in memory.
class ModelFixture {
public:
    explicit ModelFixture(const std::string& sites, bool log = false) {
        model.Engine().Use(ScriptedEngine::Install());
        model.AddObserver(observer);
        ProgramSettings settings;
        settings.SitesText = sites;
        settings.CheckInterval = 20;
        settings.Log = log;
        auto files = std::make_unique<MemoryLogFiles>();
        logFiles = files.get();
        model.Start(settings, std::move(files), "log\\");
    }
    static ScriptedEngine& Engine() { return ScriptedEngine::Get(); }
    // Ticks until the round under way has ended (or the limit passes).
    int RunRound(int limit = 1000) {
        int ticks = 0;
        do {
            model.CheckTick();
            ++ticks;
        } while (model.CheckCycle().RoundRunning && ticks < limit);
        return ticks;
    }
    // The next round, an interval and a second after the last.
    void NextRound() {
        host.now += model.Settings().CheckInterval + 1;
        RunRound();
    }
    // The list edited in the preferences and saved.
    void SaveList(const std::string& sites) {
        ProgramSettings edited = model.Settings();
        edited.SitesText = sites;
        model.ApplyEdits(edited);
    }

    FakeModelHost host;
    ProgramModel model{host};
    RecordingObserver observer{model};
    MemoryLogFiles* logFiles = nullptr;
};

}  // namespace corvale::test
