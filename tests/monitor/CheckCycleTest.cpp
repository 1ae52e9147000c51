// The check cycle against a scripted engine and a host that records what the windows would
// show, natively.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "monitor/Settings.h"
#include "monitor/SiteList.h"
#include "monitor/basProcessing.h"
#include "monitor/basTarnel.h"
#include "ScriptedEngine.h"

namespace corvale {
namespace {

struct Shown {
    std::string url, value;
    std::vector<std::string> values;  // every PingValue the tile showed, in order
    int32_t numeric = -1;
    uint32_t square = 0;
    int refreshes = 0;
    bool errorColours = false;  // what the last refresh coloured the tile with
};

class RecordingHost : public CheckCycleHost {
public:
    std::map<int, Shown> sites;
    std::vector<std::string> notices;
    std::vector<int> shown;  // ResultShown, in order
    int roundsEnded = 0;
    float now = 1000.0f;
    std::function<void()> duringEvents;

    void SetSiteURL(int site, std::string_view url) override { sites[site].url = url; }
    void SetPingValue(int site, std::string_view text) override {
        sites[site].value = text;
        sites[site].values.emplace_back(text);
    }
    void SetPingNumeric(int site, int32_t ms) override { sites[site].numeric = ms; }
    void SetSquareColour(int site, uint32_t colour) override { sites[site].square = colour; }
    // The program colours a tile from its record's flag; so does this record of it.
    void RefreshTile(int site) override {
        ++sites[site].refreshes;
        sites[site].errorColours = Sites[static_cast<std::size_t>(site)].NotResponding;
    }
    void LetEventsRun() override {
        if (duringEvents) duringEvents();
    }
    float Now() override { return now; }
    double AwakeTime() override { return now; }
    void ResultShown(int site) override { shown.push_back(site); }
    void ShowNotice(std::string_view text) override { notices.emplace_back(text); }
    void RoundEnded() override { ++roundsEnded; }
};

class CheckCycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptedEngine::Install();
        CheckCycle.Reset();
        CheckInterval = 20;
        SiteChangeNotices.Restart();
    }
    void TearDown() override { UseEngine({}); }

    static ScriptedEngine& Engine() { return ScriptedEngine::Get(); }
    // Ticks until the round under way has ended (or the limit passes).
    int RunRound(int limit = 1000) {
        int ticks = 0;
        do {
            CheckTick(host_, busy_);
            ++ticks;
        } while (CheckCycle.RoundRunning && ticks < limit);
        return ticks;
    }
    std::map<std::string, int> StartsPerSite() const {
        std::map<std::string, int> count;
        for (const auto& h : Engine().started) ++count[h];
        return count;
    }

    RecordingHost host_;
    bool busy_ = false;
};

TEST_F(CheckCycleTest, SitesNotYetAnsweringAreCheckedTwiceExceptTheLast) {
    ParseSiteList("a.test\r\nb.test\r\nc.test");
    RunRound();
    EXPECT_EQ(StartsPerSite(), (std::map<std::string, int>{{"a.test", 2}, {"b.test", 2}, {"c.test", 1}}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(host_.sites[i].value, "10 ms");
    EXPECT_EQ(host_.shown, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(host_.roundsEnded, 1);
    EXPECT_EQ(Sites[0].Stats.SinceBuilt().results, 1) << "a dropped answer is no result";

    Engine().started.clear();
    host_.now += 21;
    RunRound();
    EXPECT_EQ(StartsPerSite(), (std::map<std::string, int>{{"a.test", 1}, {"b.test", 1}, {"c.test", 1}}));

    // A site that failed is asked twice again, and only the second answer counts.
    Engine().replies["a.test"] = {0, 9};
    Engine().started.clear();
    host_.now += 21;
    RunRound();
    Engine().replies["a.test"] = {15, 0};
    Engine().started.clear();
    host_.now += 21;
    RunRound();
    EXPECT_EQ(StartsPerSite()["a.test"], 2);
    EXPECT_EQ(host_.sites[0].value, "15 ms");
}

TEST_F(CheckCycleTest, ChangesReachTheHostAsOneNoticeWhenTheRoundEnds) {
    ParseSiteList("a.test\r\nb.test\r\nc.test");
    RunRound();
    Engine().replies["a.test"] = {0, 9};
    Engine().replies["c.test"] = {0, 11};
    for (int round = 0; round < 2; ++round) {
        host_.now += 21;
        RunRound();
    }
    ASSERT_EQ(host_.notices, (std::vector<std::string>{"a.test is not responding\nc.test is not responding"}));

    Engine().replies["a.test"] = {15, 0};
    host_.now += 21;
    do CheckTick(host_, busy_);
    while (CheckCycle.CurrentSite < 2);
    EXPECT_TRUE(Sites[0].PingMs == 15 && CheckCycle.RoundRunning);
    EXPECT_EQ(host_.notices.size(), 1u) << "nothing before the round ends";
    RunRound();
    EXPECT_EQ(host_.notices.back(), "a.test answers again (15 ms), after 42 s");
}

TEST_F(CheckCycleTest, OneSiteIsCheckedOncePerRoundAndAlwaysShown) {
    ParseSiteList("only.test");
    Engine().replies["only.test"] = {0, 11};
    for (int round = 0; round < 3; ++round) {
        Engine().started.clear();
        host_.now += 21;
        RunRound();
        EXPECT_EQ(Engine().started.size(), 1u);
        EXPECT_EQ(host_.sites[0].value, "Not responding");
    }
}

TEST_F(CheckCycleTest, ResultsShowAsTimesColoursAndNotResponding) {
    ParseSiteList("zero.test\r\nedge.test\r\nslow.test\r\ndown.test\r\nlast.test");
    Engine().replies = {{"zero.test", {0, 0}}, {"edge.test", {800, 0}}, {"slow.test", {801, 0}},
                        {"down.test", {0, 9}}, {"last.test", {-7, 0}}};
    RunRound();
    EXPECT_EQ(host_.sites[0].value, "1 ms") << "a reply within one clock tick";
    EXPECT_EQ(host_.sites[0].numeric, 1);
    EXPECT_EQ(host_.sites[0].square, kSquareGreen);
    EXPECT_FALSE(Sites[0].NotResponding);
    EXPECT_EQ(host_.sites[1].square, kSquareGreen);
    EXPECT_EQ(host_.sites[2].square, kSquareYellow);
    EXPECT_EQ(host_.sites[3].value, "Not responding");
    EXPECT_EQ(host_.sites[3].square, kSquareRed);
    EXPECT_EQ(host_.sites[3].numeric, 0);
    EXPECT_TRUE(Sites[3].NotResponding);
    EXPECT_EQ(Sites[3].PingText, "Not responding");
    EXPECT_EQ(host_.sites[4].url, "last.test");
    EXPECT_EQ(host_.sites[4].value, "1 ms") << "a reply whose echoed time lies ahead of the clock";
    // The engine was asked as the program asks: 64 bytes, 2000 ms, no message boxes.
    EXPECT_EQ(Engine().lastPayload, 64u);
    EXPECT_EQ(Engine().lastTimeout, 2000u);
    EXPECT_EQ(Engine().lastShowMessages, 0);
}

TEST_F(CheckCycleTest, PingingShowsWhileTheRequestIsPendingInTheColoursOfTheLastResult) {
    ParseSiteList("one.test");
    Engine().busyPolls = 5;
    for (int tick = 0; tick < 4; ++tick) CheckTick(host_, busy_);
    EXPECT_TRUE(CheckCycle.RequestPending);
    EXPECT_EQ(host_.sites[0].value, "Ping...");
    RunRound();
    EXPECT_EQ(host_.sites[0].values, (std::vector<std::string>{"Ping...", "10 ms"}));

    // Down, then checked again: the tile says so, and stays in the error colours until
    // an answer comes.
    Engine().replies["one.test"] = {0, 11};
    host_.now += 21;
    RunRound();
    ASSERT_TRUE(host_.sites[0].errorColours);
    Engine().replies["one.test"] = {20, 0};
    host_.now += 21;
    for (int tick = 0; tick < 3; ++tick) CheckTick(host_, busy_);
    ASSERT_EQ(host_.sites[0].value, "Ping...");
    EXPECT_TRUE(host_.sites[0].errorColours);
    EXPECT_EQ(host_.sites[0].square, kSquareRed);
    RunRound();
    EXPECT_FALSE(host_.sites[0].errorColours);
    EXPECT_EQ(host_.sites[0].square, kSquareGreen);
}

TEST_F(CheckCycleTest, AResultIsShownOnlyOnTheSiteItWasAskedFor) {
    ParseSiteList("a.test\r\nb.test\r\nc.test");
    Engine().replies["b.test"] = {0, 11};
    RunRound();
    // The next round's request for b.test is under way when the list is saved with b.test
    // moved to the front and a new site where it was.
    Engine().busyPolls = 5;
    host_.now += 21;
    while (!(CheckCycle.CurrentSite == 1 && CheckCycle.RequestPending)) CheckTick(host_, busy_);
    host_.sites.clear();
    UpdateSiteList("b.test\r\nnew.test\r\nc.test");
    CheckCycle.Reset();
    RunRound();
    // Never b.test's failure: the new site is asked twice, as any unchecked one.
    EXPECT_EQ(host_.sites[1].values, (std::vector<std::string>{"Ping...", "Ping...", "10 ms"}));
    EXPECT_EQ(Sites[1].PingMs, 10);
    EXPECT_EQ(host_.sites[0].value, "Not responding");
    EXPECT_EQ(Engine().started.back(), "c.test");
}

TEST_F(CheckCycleTest, AnEngineNotStartedKeepsTryingTheSameSite) {
    ParseSiteList("a.test\r\nb.test");
    Engine().startResult = -1;
    for (int tick = 0; tick < 10; ++tick) CheckTick(host_, busy_);
    EXPECT_EQ(CheckCycle.CurrentSite, 0);
    EXPECT_TRUE(CheckCycle.RoundRunning);
    EXPECT_FALSE(CheckCycle.RequestPending);
    EXPECT_EQ(host_.sites[0].value, "Ping...");
    EXPECT_EQ(Engine().startCalls, 10) << "tried again on every tick";
    EXPECT_EQ(host_.sites.count(1), 0u);
}

TEST_F(CheckCycleTest, ShortIntervalsRunRoundsBackToBackNeverOverlapping) {
    ParseSiteList("a.test\r\nb.test");
    CheckInterval = 0;  // any elapsed time starts a round once the last one ended
    Engine().busyPolls = 2;
    int roundsStarted = 0;
    float lastStart = -1;
    for (int tick = 0; tick < 200; ++tick) {
        host_.now += 0.02f;
        const bool wasRunning = CheckCycle.RoundRunning;
        const int16_t siteBefore = CheckCycle.CurrentSite;
        CheckTick(host_, busy_);
        if (CheckCycle.RoundStart != lastStart) {
            EXPECT_FALSE(wasRunning && siteBefore != 0) << "a round started while another was under way";
            lastStart = CheckCycle.RoundStart;
            ++roundsStarted;
        }
    }
    EXPECT_GT(roundsStarted, 10);
}

TEST_F(CheckCycleTest, CheckNowStartsARoundAtTheNextIdleTick) {
    ParseSiteList("a.test");
    RunRound();
    host_.now += 0.5f;
    CheckTick(host_, busy_);
    EXPECT_EQ(Engine().started.size(), 1u) << "within the interval nothing starts";
    CheckNow();
    CheckTick(host_, busy_);
    EXPECT_EQ(Engine().started.size(), 2u);
}

TEST_F(CheckCycleTest, TheTimerRestsUntilTheNextRoundIsDueAndTicksWhileOneRuns) {
    ParseSiteList("a.test\r\nb.test");
    CheckInterval = 20;
    CheckTick(host_, busy_);
    ASSERT_TRUE(CheckCycle.RoundRunning);
    EXPECT_EQ(CheckTickDelayMs(CheckCycle, host_.now, CheckInterval), kCheckTickMs);
    RunRound();
    EXPECT_EQ(CheckTickDelayMs(CheckCycle, host_.now, CheckInterval), kRestingTickMaxMs);
    const float start = CheckCycle.RoundStart;
    // Woken just after the round is due, so the tick that comes starts it.
    host_.now = start + 19.9f;
    const int32_t delay = CheckTickDelayMs(CheckCycle, host_.now, CheckInterval);
    EXPECT_NEAR(delay, 101, 2);
    host_.now += static_cast<float>(delay) / 1000.0f;
    CheckTick(host_, busy_);
    EXPECT_TRUE(CheckCycle.RoundRunning);
    RunRound();
    CheckNow();
    EXPECT_EQ(CheckTickDelayMs(CheckCycle, host_.now, CheckInterval), kCheckTickMs);
    // Across midnight the time of day runs backwards: a round is due at once.
    CheckCycle.RoundStart = 86390.0f;
    EXPECT_EQ(CheckTickDelayMs(CheckCycle, 5.0f, CheckInterval), kCheckTickMs);
    // A cycle started over (a Save, a resume) starts a round at once, also just after midnight.
    CheckCycle.Reset();
    EXPECT_EQ(CheckTickDelayMs(CheckCycle, 5.0f, CheckInterval), kCheckTickMs);
}

TEST_F(CheckCycleTest, AListRebuiltMidRoundEndsTheRoundWhenItsSiteIsGone) {
    ParseSiteList("a.test\r\nb.test\r\nc.test\r\nd.test\r\ne.test");
    while (CheckCycle.CurrentSite < 4) CheckTick(host_, busy_);
    // Rebuilt while the cycle was paused: the round would go on at a site that is gone.
    ParseSiteList("a.test\r\nb.test");
    CheckTick(host_, busy_);
    EXPECT_FALSE(CheckCycle.RoundRunning);

    // Rebuilt by an event that runs inside a step, while the step is on the stack.
    host_.now += 21;
    ParseSiteList("a.test\r\nb.test\r\nc.test");
    while (CheckCycle.CurrentSite < 2) CheckTick(host_, busy_);
    host_.duringEvents = [] { ParseSiteList("a.test"); };
    for (int tick = 0; tick < 5; ++tick) CheckTick(host_, busy_);
    host_.duringEvents = nullptr;
    EXPECT_FALSE(CheckCycle.RoundRunning);
    EXPECT_EQ(SiteLast, 0);
}

TEST_F(CheckCycleTest, ATickAmongTheEventsOfARunningStepDoesNothing) {
    ParseSiteList("a.test\r\nb.test");
    int nested = 0;
    host_.duringEvents = [&] {
        const auto before = Engine().started.size();
        CheckTick(host_, busy_);
        nested += Engine().started.size() != before;
    };
    RunRound();
    EXPECT_EQ(nested, 0);
    EXPECT_FALSE(busy_);
    EXPECT_EQ(Engine().started.size(), 3u);
}

TEST_F(CheckCycleTest, EngineTextComesBackTrimmedAndCutAtItsNul) {
    Engine().checkText = std::string("  10.0.0.1 ") + '\0' + "junk";
    std::string text = "old";
    int32_t ms = 0, code = 0;
    EXPECT_EQ(EnginePingCheck(text, ms, code), 0);
    EXPECT_EQ(text, "10.0.0.1");
    Engine().checkText.clear();
    EXPECT_EQ(EnginePingCheck(text, ms, code), 0);
    EXPECT_EQ(text, "") << "50 spaces left unchanged are an empty text";

    // A web line's path goes to the engine as ASCII (UTF-8 percent-encoded); the host and
    // plain lines are left to the engine's own rules.
    EXPECT_EQ(WebPathInAscii("http://caf\xC3\xA9.test/men\xC3\xBC?q=\xC3\xA9#x"),
              "http://caf\xC3\xA9.test/men%C3%BC?q=%C3%A9#x");
    EXPECT_EQ(WebPathInAscii("caf\xC3\xA9.test/x\xC3\xA9"), "caf\xC3\xA9.test/x\xC3\xA9");

    UseEngine({});
    EXPECT_EQ(EnginePingCheck(text, ms, code), -1);
    EXPECT_EQ(EnginePingStart(SiteRecord{}, 2000), -1);
    EXPECT_EQ(EngineStopDll(), -1);
}

}  // namespace
}  // namespace corvale
