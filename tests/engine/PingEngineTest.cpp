// The request slot and the worker, driven by a stand-in exchange that the test opens and
// closes. Also built with ThreadSanitizer.
#include "engine/PingEngine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The ThreadSanitizer build runs the same cases under a suite name of its own.
#ifndef PING_ENGINE_SUITE
#define PING_ENGINE_SUITE PingEngine
#endif

using namespace tarnel;
using namespace std::chrono_literals;

namespace {

// An exchange that records its requests and, when held, waits until released.
class GatedExchange {
public:
    EchoResult operator()(const EchoRequest& request)
    {
        std::unique_lock<std::mutex> guard(lock_);
        seen_.push_back(request);
        started_.notify_all();
        released_.wait(guard, [this] { return !held_; });
        return result_;
    }
    void Hold()
    {
        std::lock_guard<std::mutex> guard(lock_);
        held_ = true;
    }
    void Release()
    {
        std::lock_guard<std::mutex> guard(lock_);
        held_ = false;
        released_.notify_all();
    }
    void SetResult(EchoResult result)
    {
        std::lock_guard<std::mutex> guard(lock_);
        result_ = result;
    }
    bool WaitStarted(std::size_t count, std::chrono::milliseconds limit)
    {
        std::unique_lock<std::mutex> guard(lock_);
        return started_.wait_for(guard, limit, [&] { return seen_.size() >= count; });
    }
    std::vector<EchoRequest> Seen()
    {
        std::lock_guard<std::mutex> guard(lock_);
        return seen_;
    }

private:
    std::mutex lock_;
    std::condition_variable started_;
    std::condition_variable released_;
    bool held_ = false;
    EchoResult result_{0, 7};
    std::vector<EchoRequest> seen_;
};

// The exchange is shared with the engine's workers, so one that Stop leaves behind can still
// finish it after the test is done with it.
struct EngineUnderTest {
    std::shared_ptr<GatedExchange> exchange = std::make_shared<GatedExchange>();
    PingEngine engine{[gate = exchange](const EchoRequest& request) { return (*gate)(request); }};
};

// Polls as the program does, until the engine is no longer busy.
int WaitDone(PingEngine& engine, std::int32_t& roundTrip, std::int32_t& code)
{
    for (int i = 0; i < 500; ++i) {
        const int state = engine.Check(&roundTrip, &code);
        if (state != 1)
            return state;
        std::this_thread::sleep_for(5ms);
    }
    return 1;
}

}  // namespace

TEST(PING_ENGINE_SUITE, CallsBeforeStartAndAfterStopAreRefused)
{
    EngineUnderTest t;
    std::int32_t roundTrip = 55, code = 66;
    EXPECT_EQ(t.engine.Check(&roundTrip, &code), -1);
    EXPECT_EQ(t.engine.Ping("h", 64, 2000, 0), -1);
    EXPECT_EQ(t.engine.Stop(), -1);
    EXPECT_EQ(roundTrip, 55);
    EXPECT_EQ(code, 66);

    ASSERT_EQ(t.engine.Start(), 0);
    EXPECT_EQ(t.engine.Start(), -1);  // a second start changes nothing
    EXPECT_EQ(t.engine.Check(&roundTrip, &code), 0);  // before any request: 0, 0
    EXPECT_EQ(roundTrip, 0);
    EXPECT_EQ(code, 0);

    EXPECT_EQ(t.engine.Stop(), 0);
    EXPECT_EQ(t.engine.Stop(), -1);
    EXPECT_EQ(t.engine.Ping("h", 64, 2000, 0), -1);
    EXPECT_EQ(t.engine.Check(&roundTrip, &code), -1);
    EXPECT_TRUE(t.exchange->Seen().empty());
}

TEST(PING_ENGINE_SUITE, BusySlotDropsTheSecondRequestAndKeepsTheFirst)
{
    EngineUnderTest t;
    ASSERT_EQ(t.engine.Start(), 0);
    t.exchange->Hold();
    ASSERT_EQ(t.engine.Ping("first.example", 64, 2000, 0), 0);
    ASSERT_TRUE(t.exchange->WaitStarted(1, 2s));
    EXPECT_EQ(t.engine.Ping("second.example", 100, 700, 1), 1);
    std::int32_t roundTrip = -5, code = -5;
    EXPECT_EQ(t.engine.Check(&roundTrip, &code), 1);
    EXPECT_EQ(roundTrip, -5);  // busy leaves the outputs alone
    EXPECT_EQ(code, -5);

    t.exchange->Release();
    ASSERT_EQ(WaitDone(t.engine, roundTrip, code), 0);
    EXPECT_EQ(roundTrip, 7);
    EXPECT_EQ(code, 0);
    const auto seen = t.exchange->Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_STREQ(seen[0].host, "first.example");
    EXPECT_EQ(seen[0].payloadSize, 64u);
    EXPECT_EQ(seen[0].timeoutMs, 2000u);
    EXPECT_EQ(seen[0].showMessages, 0);
    EXPECT_EQ(t.engine.Stop(), 0);
}

TEST(PING_ENGINE_SUITE, FinishedResultIsReportedUntilTheNextRequest)
{
    EngineUnderTest t;
    ASSERT_EQ(t.engine.Start(), 0);
    t.exchange->SetResult({0, 12});
    ASSERT_EQ(t.engine.Ping("a", 64, 2000, 0), 0);
    std::int32_t roundTrip = 0, code = 0;
    ASSERT_EQ(WaitDone(t.engine, roundTrip, code), 0);
    for (int i = 0; i < 3; ++i) {
        roundTrip = code = -1;
        EXPECT_EQ(t.engine.Check(&roundTrip, &code), 0);
        EXPECT_EQ(roundTrip, 12);
        EXPECT_EQ(code, 0);
    }
    // A failure reports its code with round-trip 0, whatever the exchange left behind.
    t.exchange->SetResult({5, 99});
    ASSERT_EQ(t.engine.Ping("b", 64, 2000, 0), 0);
    ASSERT_EQ(WaitDone(t.engine, roundTrip, code), 0);
    EXPECT_EQ(code, 5);
    EXPECT_EQ(roundTrip, 0);
    EXPECT_EQ(t.engine.Check(nullptr, nullptr), 0);  // missing outputs are skipped, not written
    EXPECT_EQ(t.engine.Stop(), 0);
}

TEST(PING_ENGINE_SUITE, RequestIsPickedUpWithinAPoll)
{
    EngineUnderTest t;
    ASSERT_EQ(t.engine.Start(), 0);
    std::this_thread::sleep_for(50ms);  // let the worker settle into its idle wait
    ASSERT_EQ(t.engine.Ping("a", 64, 2000, 0), 0);
    // Generous bound for loaded machines and sanitizers; the figure is measured by the benchmark.
    EXPECT_TRUE(t.exchange->WaitStarted(1, 1s));
    std::int32_t roundTrip = 0, code = 0;
    EXPECT_EQ(WaitDone(t.engine, roundTrip, code), 0);
    EXPECT_EQ(t.engine.Stop(), 0);
}

TEST(PING_ENGINE_SUITE, StopLeavesAHungExchangeBehindAndCanStartAgain)
{
    EngineUnderTest t;
    ASSERT_EQ(t.engine.Start(), 0);
    t.exchange->SetResult({0, 12});
    ASSERT_EQ(t.engine.Ping("a", 64, 2000, 0), 0);
    std::int32_t roundTrip = -1, code = -1;
    ASSERT_EQ(WaitDone(t.engine, roundTrip, code), 0);
    EXPECT_EQ(t.engine.Stop(), 0);  // idle: the worker leaves at once and is joined

    // An exchange that never ends (a hung name lookup) does not hold Stop.
    ASSERT_EQ(t.engine.Start(), 0);
    t.exchange->Hold();
    ASSERT_EQ(t.engine.Ping("hung", 64, 2000, 0), 0);
    ASSERT_TRUE(t.exchange->WaitStarted(2, 2s));
    EXPECT_EQ(t.engine.Stop(), 0);
    EXPECT_EQ(t.engine.Check(&roundTrip, &code), -1);

    // A later start gets a fresh worker with a clean slot, while the old one still waits.
    ASSERT_EQ(t.engine.Start(), 0);
    EXPECT_EQ(t.engine.Check(&roundTrip, &code), 0);
    EXPECT_EQ(roundTrip, 0);
    EXPECT_EQ(code, 0);
    t.exchange->Release();
    ASSERT_EQ(t.engine.Ping("b", 64, 2000, 0), 0);
    EXPECT_EQ(WaitDone(t.engine, roundTrip, code), 0);
    EXPECT_EQ(roundTrip, 12);
    EXPECT_EQ(t.engine.Stop(), 0);
}

TEST(PING_ENGINE_SUITE, ManyRequestsFromOneCallerUnderConcurrentPolling)
{
    EngineUnderTest t;
    ASSERT_EQ(t.engine.Start(), 0);
    int accepted = 0;
    for (int i = 0; i < 50; ++i) {
        const std::string host = "host" + std::to_string(i);
        if (t.engine.Ping(host.c_str(), static_cast<std::uint32_t>(i), 2000, 0) == 0)
            ++accepted;
        std::int32_t roundTrip = 0, code = 0;
        ASSERT_EQ(WaitDone(t.engine, roundTrip, code), 0);
    }
    EXPECT_EQ(accepted, 50);
    const auto seen = t.exchange->Seen();
    ASSERT_EQ(seen.size(), 50u);
    EXPECT_STREQ(seen[49].host, "host49");
    EXPECT_EQ(seen[49].payloadSize, 49u);
    EXPECT_EQ(t.engine.Stop(), 0);
}

TEST(PING_ENGINE_SUITE, DestroyingAStartedEngineStopsItsWorker)
{
    auto t = std::make_unique<EngineUnderTest>();
    ASSERT_EQ(t->engine.Start(), 0);
    ASSERT_EQ(t->engine.Ping("a", 64, 2000, 0), 0);
    t.reset();  // must join, not terminate
    SUCCEED();
}
