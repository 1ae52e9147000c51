// The check cycle of the program object against a scripted engine, with an observer that
// records what the windows would show, natively.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "ModelTestSupport.h"
#include "engine/ResultText.h"

namespace corvale {
namespace {

class CheckCycleTest : public ::testing::Test {
protected:
    // The program object with the list `sites`, its first tick not yet run.
    void List(const std::string& sites) { m_ = std::make_unique<test::ModelFixture>(sites); }
    static ScriptedEngine& Engine() { return ScriptedEngine::Get(); }
    ProgramModel& Model() { return m_->model; }
    const CheckCycleState& Cycle() { return m_->model.CheckCycle(); }
    const SiteRecord& Site(int i) { return m_->model.Sites()[static_cast<std::size_t>(i)]; }
    std::map<int, test::ShownSite>& Tiles() { return m_->observer.sites; }
    test::FakeModelHost& Host() { return m_->host; }
    void Tick() { m_->model.CheckTick(); }
    int RunRound() { return m_->RunRound(); }
    std::map<std::string, int> StartsPerSite() const {
        std::map<std::string, int> count;
        for (const auto& h : Engine().started) ++count[h];
        return count;
    }

    std::unique_ptr<test::ModelFixture> m_;
};

TEST_F(CheckCycleTest, SitesNotYetAnsweringAreCheckedTwiceExceptTheLast) {
    List("a.test\r\nb.test\r\nc.test");
    RunRound();
    EXPECT_EQ(StartsPerSite(), (std::map<std::string, int>{{"a.test", 2}, {"b.test", 2}, {"c.test", 1}}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Tiles()[i].value, "10 ms");
    EXPECT_EQ(m_->observer.shown, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(m_->model.Sites()[0].Stats.SinceBuilt().results, 1) << "a dropped answer is no result";

    Engine().started.clear();
    Host().now += 21;
    RunRound();
    EXPECT_EQ(StartsPerSite(), (std::map<std::string, int>{{"a.test", 1}, {"b.test", 1}, {"c.test", 1}}));

    // A site that failed is asked twice again, and only the second answer counts.
    Engine().replies["a.test"] = {0, 9};
    Engine().started.clear();
    Host().now += 21;
    RunRound();
    Engine().replies["a.test"] = {15, 0};
    Engine().started.clear();
    Host().now += 21;
    RunRound();
    EXPECT_EQ(StartsPerSite()["a.test"], 2);
    EXPECT_EQ(Tiles()[0].value, "15 ms");
}

TEST_F(CheckCycleTest, ChangesReachTheHostAsOneNoticeWhenTheRoundEnds) {
    List("a.test\r\nb.test\r\nc.test");
    RunRound();
    Engine().replies["a.test"] = {0, 9};
    Engine().replies["c.test"] = {0, 11};
    for (int round = 0; round < 2; ++round) {
        Host().now += 21;
        RunRound();
    }
    ASSERT_EQ(m_->observer.notices, (std::vector<std::string>{"a.test is not responding\nc.test is not responding"}));

    Engine().replies["a.test"] = {15, 0};
    Host().now += 21;
    do Tick();
    while (Cycle().CurrentSite < 2);
    EXPECT_TRUE(m_->model.Sites()[0].PingMs == 15 && Cycle().RoundRunning);
    EXPECT_EQ(m_->observer.notices.size(), 1u) << "nothing before the round ends";
    RunRound();
    EXPECT_EQ(m_->observer.notices.back(), "a.test answers again (15 ms), after 42 s");
}

TEST_F(CheckCycleTest, OneSiteIsCheckedOncePerRoundAndAlwaysShown) {
    List("only.test");
    Engine().replies["only.test"] = {0, 11};
    for (int round = 0; round < 3; ++round) {
        Engine().started.clear();
        Host().now += 21;
        RunRound();
        EXPECT_EQ(Engine().started.size(), 1u);
        EXPECT_EQ(Tiles()[0].value, "Not responding");
    }
}

TEST_F(CheckCycleTest, ResultsShowAsTimesColoursAndNotResponding) {
    List("zero.test\r\nedge.test\r\nslow.test\r\ndown.test\r\nlast.test");
    Engine().replies = {{"zero.test", {0, 0}}, {"edge.test", {800, 0}}, {"slow.test", {801, 0}},
                        {"down.test", {0, 9}}, {"last.test", {-7, 0}}};
    RunRound();
    EXPECT_EQ(Tiles()[0].value, "1 ms") << "a reply within one clock tick";
    EXPECT_EQ(Tiles()[0].square, kSquareGreen);
    EXPECT_FALSE(m_->model.Sites()[0].NotResponding);
    EXPECT_EQ(Tiles()[1].square, kSquareGreen);
    EXPECT_EQ(Tiles()[2].square, kSquareYellow);
    EXPECT_EQ(Tiles()[3].value, "Not responding");
    EXPECT_EQ(Tiles()[3].square, kSquareRed);
    EXPECT_EQ(Site(3).History.Newest().roundTripMs, 0) << "the graph's bar: no answer";
    EXPECT_TRUE(m_->model.Sites()[3].NotResponding);
    EXPECT_EQ(m_->model.Sites()[3].PingText, "Not responding");
    EXPECT_EQ(Tiles()[4].value, "1 ms") << "a reply whose echoed time lies ahead of the clock";
    // The engine was asked as the program asks: 64 bytes, 2000 ms, no message boxes.
    EXPECT_EQ(Engine().lastPayload, 64u);
    EXPECT_EQ(Engine().lastTimeout, 2000u);
    EXPECT_EQ(Engine().lastShowMessages, 0);
}

TEST_F(CheckCycleTest, PingingShowsWhileTheRequestIsPendingInTheColoursOfTheLastResult) {
    List("one.test");
    Engine().busyPolls = 5;
    for (int tick = 0; tick < 4; ++tick) Tick();
    EXPECT_TRUE(Cycle().RequestPending);
    EXPECT_EQ(Tiles()[0].value, "Ping...");
    RunRound();
    EXPECT_EQ(Tiles()[0].values, (std::vector<std::string>{"Ping...", "10 ms"}));

    // Down, then checked again: the tile says so, and stays in the error colours until
    // an answer comes.
    Engine().replies["one.test"] = {0, 11};
    Host().now += 21;
    RunRound();
    ASSERT_TRUE(Tiles()[0].errorColours);
    Engine().replies["one.test"] = {20, 0};
    Host().now += 21;
    for (int tick = 0; tick < 3; ++tick) Tick();
    ASSERT_EQ(Tiles()[0].value, "Ping...");
    EXPECT_TRUE(Tiles()[0].errorColours);
    EXPECT_EQ(Tiles()[0].square, kSquareRed);
    RunRound();
    EXPECT_FALSE(Tiles()[0].errorColours);
    EXPECT_EQ(Tiles()[0].square, kSquareGreen);
}

TEST_F(CheckCycleTest, AResultIsShownOnlyOnTheSiteItWasAskedFor) {
    List("a.test\r\nb.test\r\nc.test");
    Engine().replies["b.test"] = {0, 11};
    RunRound();
    // The next round's request for b.test is under way when the list is saved with b.test
    // moved to the front and a new site where it was.
    Engine().busyPolls = 5;
    Host().now += 21;
    while (!(Cycle().CurrentSite == 1 && Cycle().RequestPending)) Tick();
    Tiles().clear();
    m_->SaveList("b.test\r\nnew.test\r\nc.test");
    RunRound();
    // Never b.test's failure: the new site is asked twice, as any unchecked one.
    EXPECT_EQ(Tiles()[1].values, (std::vector<std::string>{"Ping...", "Ping...", "10 ms"}));
    EXPECT_EQ(m_->model.Sites()[1].PingMs, 10);
    EXPECT_EQ(Tiles()[0].value, "Not responding");
    EXPECT_EQ(Engine().started.back(), "c.test");
}

TEST_F(CheckCycleTest, AnEngineNotStartedKeepsTryingTheSameSite) {
    List("a.test\r\nb.test");
    Engine().startResult = -1;
    for (int tick = 0; tick < 10; ++tick) Tick();
    EXPECT_EQ(Cycle().CurrentSite, 0);
    EXPECT_TRUE(Cycle().RoundRunning);
    EXPECT_FALSE(Cycle().RequestPending);
    EXPECT_EQ(Tiles()[0].value, "Ping...");
    EXPECT_EQ(Engine().startCalls, 10) << "tried again on every tick";
    EXPECT_EQ(Tiles().count(1), 0u);
}

TEST_F(CheckCycleTest, ShortIntervalsRunRoundsBackToBackNeverOverlapping) {
    List("a.test\r\nb.test");
    ProgramSettings settings = Model().Settings();
    settings.CheckInterval = 0;  // any elapsed time starts a round once the last one ended
    Model().ApplyEdits(settings);
    Engine().busyPolls = 2;
    int roundsStarted = 0;
    float lastStart = -1;
    for (int tick = 0; tick < 200; ++tick) {
        Host().now += 0.02f;
        const bool wasRunning = Cycle().RoundRunning;
        const int16_t siteBefore = Cycle().CurrentSite;
        Tick();
        if (Cycle().RoundStart != lastStart) {
            EXPECT_FALSE(wasRunning && siteBefore != 0) << "a round started while another was under way";
            lastStart = Cycle().RoundStart;
            ++roundsStarted;
        }
    }
    EXPECT_GT(roundsStarted, 10);
}

TEST_F(CheckCycleTest, CheckNowStartsARoundAtTheNextIdleTick) {
    List("a.test");
    RunRound();
    Host().now += 0.5f;
    Tick();
    EXPECT_EQ(Engine().started.size(), 1u) << "within the interval nothing starts";
    Model().CheckNow();
    Tick();
    EXPECT_EQ(Engine().started.size(), 2u);
}

TEST_F(CheckCycleTest, TheTimerRestsUntilTheNextRoundIsDueAndTicksWhileOneRuns) {
    List("a.test\r\nb.test");
    Tick();
    ASSERT_TRUE(Cycle().RoundRunning);
    EXPECT_EQ(Model().NextTickDelayMs(), kCheckTickMs);
    RunRound();
    EXPECT_EQ(Model().NextTickDelayMs(), kRestingTickMaxMs);
    const float start = Cycle().RoundStart;
    // Woken just after the round is due, so the tick that comes starts it.
    Host().now = start + 19.9f;
    const int32_t delay = Model().NextTickDelayMs();
    EXPECT_NEAR(delay, 101, 2);
    Host().now += static_cast<float>(delay) / 1000.0f;
    Tick();
    EXPECT_TRUE(Cycle().RoundRunning);
    RunRound();
    Model().CheckNow();
    EXPECT_EQ(Model().NextTickDelayMs(), kCheckTickMs);
    // Across midnight the time of day runs backwards: a round is due at once.
    CheckCycleState late = Cycle();
    late.RoundStart = 86390.0f;
    EXPECT_EQ(CheckTickDelayMs(late, 5.0f, 20), kCheckTickMs);
    // A cycle started over (a Save, a resume) starts a round at once, also just after midnight.
    late.Reset();
    EXPECT_EQ(CheckTickDelayMs(late, 5.0f, 20), kCheckTickMs);
}

TEST_F(CheckCycleTest, AListSavedWhileAStepIsOnTheStackEndsTheRoundWhoseSiteIsGone) {
    List("a.test\r\nb.test\r\nc.test");
    while (Cycle().CurrentSite < 2) Tick();
    // Saved by an event that runs inside a step, while the step is on the stack.
    Host().duringEvents = [this] { m_->SaveList("a.test"); };
    for (int tick = 0; tick < 5; ++tick) Tick();
    Host().duringEvents = nullptr;
    EXPECT_FALSE(Cycle().RoundRunning);
    EXPECT_EQ(Model().SiteLast(), 0);
}

TEST_F(CheckCycleTest, ATickAmongTheEventsOfARunningStepDoesNothing) {
    List("a.test\r\nb.test");
    int nested = 0;
    Host().duringEvents = [&] {
        const auto before = Engine().started.size();
        Tick();
        nested += Engine().started.size() != before;
    };
    RunRound();
    EXPECT_EQ(nested, 0);
    EXPECT_FALSE(Model().CheckBusy());
    EXPECT_EQ(Engine().started.size(), 3u);
}

TEST(ProgramModel, ASaveChangesOnlyWhatItChanges) {
    test::ModelFixture m("a.test\r\nb.test\r\nc.test", /*log=*/true);
    m.host.route = {};  // the routing table unreadable: where the connection breaks is not known
    ScriptedEngine& engine = ScriptedEngine::Get();
    const auto save = [&m](const std::string& sites, int16_t alpha) {
        ProgramSettings edited = m.model.Settings();
        edited.SitesText = sites;
        edited.TransPerc = alpha;
        m.model.ApplyEdits(edited);
    };
    m.RunRound();
    engine.replies["a.test"] = {0, 11};
    m.NextRound();
    save("a.test\r\nb.test\r\nc.test", 200);  // the translucency alone
    m.NextRound();
    EXPECT_EQ(m.observer.notices, std::vector<std::string>{"a.test is not responding"})
        << "the failure before the Save and the one after it are one outage";

    // Every site fails: one outage of the connection, which a Save that reorders the list and
    // drops the site that was down before it does not end.
    engine.replies["b.test"] = engine.replies["c.test"] = {0, 11};
    m.NextRound();
    m.NextRound();
    ASSERT_EQ(m.observer.notices.back(), kConnectionDownText);
    save("c.test\r\nb.test", 200);
    engine.replies.clear();
    m.NextRound();
    EXPECT_EQ(m.observer.notices.size(), 3u);
    EXPECT_EQ(m.observer.notices.back().rfind("Sites answer again, after ", 0), 0u) << m.observer.notices.back();
    EXPECT_EQ(m.observer.notices.back().find('\n'), std::string::npos) << "one line";

    // a left the list while down: back later, its old outage is no row of the log.
    save("c.test\r\nb.test\r\na.test", 200);
    m.NextRound();
    m.model.FlushLog();
    const std::string& outages = m.logFiles->files["outages.csv"];
    EXPECT_EQ(outages.find("a.test"), std::string::npos) << outages;
    EXPECT_NE(outages.find("b.test"), std::string::npos) << "b stayed through the Save";
}

TEST(ProgramModel, WhenNoSiteAnswersTheRouterIsAskedOnceARoundAndTheVerdictIsToldLoggedAndShown) {
    test::ModelFixture m("a.test\r\nb.test", /*log=*/true);
    ScriptedEngine& engine = ScriptedEngine::Get();
    const auto routerChecks = [&engine] { return std::count(engine.started.begin(), engine.started.end(), "192.168.1.1"); };
    m.RunRound();
    engine.replies["b.test"] = {0, 11};
    m.NextRound();
    EXPECT_EQ(routerChecks(), 0) << "nothing extra while a site answers";

    // Both fail: the router answers, so it is the way beyond it.
    engine.replies["a.test"] = {0, 11};
    m.NextRound();
    m.NextRound();
    EXPECT_EQ(routerChecks(), 2) << "once at the end of each failing round";
    EXPECT_EQ(m.observer.notices.back(),
              "No site answers; your router (192.168.1.1) answers: the connection beyond it is down");
    EXPECT_EQ(m.model.Overall().text, "No site answers: router answers, connection beyond it down");
    // The router stops answering: one more line, no new outage; the same verdict again: none.
    engine.replies["192.168.1.1"] = {0, 11};
    m.NextRound();
    m.NextRound();
    EXPECT_EQ(m.observer.notices.size(), 2u);
    EXPECT_EQ(m.observer.notices.back(), "No site answers, nor does your router (192.168.1.1): the local network is down");
    // Names that do not resolve, with the router back.
    engine.replies = {{"a.test", {0, tarnel::kHostNotFound}}, {"b.test", {0, tarnel::kHostNotFound}}};
    m.NextRound();
    EXPECT_EQ(m.observer.notices.back(), "No site answers: names cannot be resolved (the name server does not answer)");
    // No default route at all: nothing is asked.
    m.host.route = {DefaultRoute::Kind::None, ""};
    const auto asked = routerChecks();
    m.NextRound();
    EXPECT_EQ(routerChecks(), asked);
    EXPECT_EQ(m.model.Overall().text, "No site answers: no network connection");

    engine.replies.clear();
    m.NextRound();
    EXPECT_EQ(m.observer.notices.back().rfind("Sites answer again, after ", 0), 0u);
    EXPECT_EQ(m.model.Overall().text, "All 2 sites answer");
    m.model.FlushLog();
    const std::string& outages = m.logFiles->files["outages.csv"];
    EXPECT_NE(outages.find("\r\n(connection),"), std::string::npos) << outages;
    EXPECT_EQ(outages.substr(outages.size() - 16), ",beyond router\r\n") << "the cause it began with";
}

TEST(EngineBinding, TextComesBackTrimmedAndCutAtItsNulAndNothingBoundIsNotStarted) {
    EngineBinding engine;
    engine.Use(ScriptedEngine::Install());
    ScriptedEngine::Get().checkText = std::string("  10.0.0.1 ") + '\0' + "junk";
    std::string text = "old";
    int32_t ms = 0, code = 0;
    EXPECT_EQ(engine.EnginePingCheck(text, ms, code), 0);
    EXPECT_EQ(text, "10.0.0.1");
    ScriptedEngine::Get().checkText.clear();
    EXPECT_EQ(engine.EnginePingCheck(text, ms, code), 0);
    EXPECT_EQ(text, "") << "50 spaces left unchanged are an empty text";
    // The address a site is known by without asking the network.
    EXPECT_EQ(SiteAddressText("https://shop.test:8443/health?k=1"), "shop.test");
    EXPECT_EQ(SiteAddressText("tcp://[fd00::1]:22"), "fd00::1");
    EXPECT_EQ(SiteAddressText("10.0.0.9"), "10.0.0.9");

    // A web line's path goes to the engine as ASCII (UTF-8 percent-encoded); the host and
    // plain lines are left to the engine's own rules.
    EXPECT_EQ(WebPathInAscii("http://caf\xC3\xA9.test/men\xC3\xBC?q=\xC3\xA9#x"),
              "http://caf\xC3\xA9.test/men%C3%BC?q=%C3%A9#x");
    EXPECT_EQ(WebPathInAscii("caf\xC3\xA9.test/x\xC3\xA9"), "caf\xC3\xA9.test/x\xC3\xA9");

    EngineBinding unbound;
    EXPECT_EQ(unbound.EnginePingCheck(text, ms, code), -1);
    EXPECT_EQ(unbound.EnginePingStart("a.test", 2000), -1);
    EXPECT_EQ(unbound.EngineStopDll(), -1);
}

}  // namespace
}  // namespace corvale
