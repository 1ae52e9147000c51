#pragma once
// The program in-process over a scripted engine, started from a fresh folder of its own:
// the common ground of the tests of the running program.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "ScriptedEngine.h"
#include "TempFolder.h"
#include "monitor/basMain.h"

namespace corvale::test {

class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override {
        program_.Model().Engine().Use(ScriptedEngine::Install());
        program_.MessageSink = [this](std::string_view text) { messages_.emplace_back(text); };
        program_.EndProgram = [this] { ++ends_; };
        // No router is asked: the machine's own routing table is none of the tests' business.
        program_.RouteReader = [](RouteFamily) { return DefaultRoute{}; };
    }
    void Write(const char* name, std::string_view bytes) { WriteBytes(folder_.File(name), bytes); }
    std::string Read(const char* name) { return ReadBytes(folder_.File(name)); }
    bool StartProgram() { return program_.Main(folder_.File("Corvale.exe")); }
    // Ticks of the check timer until a round has run through.
    void RunRound() {
        bool started = false;
        for (int i = 0; i < 500 && !(started && !Model().CheckCycle().RoundRunning); ++i) {
            program_.CheckTimerTick();
            started = started || Model().CheckCycle().RoundRunning;
        }
    }
    // The program's clocks (the time of day and the one for durations) become clock_.
    void UseTestClock() {
        program_.Clock = [this] { return clock_; };
        program_.AwakeClock = [this] { return clock_; };
    }
    // Rounds of the check timer, each CheckInterval after the one before on clock_.
    void RunRounds(int rounds) {
        for (int r = 0; r < rounds; ++r) {
            clock_ += Model().Settings().CheckInterval + 1;
            RunRound();
        }
    }

    ProgramModel& Model() { return program_.Model(); }
    const SiteRecord& Site(int i) { return Model().Sites()[static_cast<std::size_t>(i)]; }
    std::vector<std::unique_ptr<CTooltip>>& Tips() { return program_.Tiles().SiteTooltips; }

    TempFolder folder_;
    CorvaleProgram program_;
    std::vector<std::string> messages_;  // what the program showed the user
    int ends_ = 0;                       // times the program ended
    float clock_ = 3600;                 // after UseTestClock
};

}  // namespace corvale::test
