#pragma once
// The request slot and the worker thread behind the four exports: one request at a time,
// run on the worker so the caller never waits on the network.

#include "engine/IcmpEcho.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

namespace tarnel {

class PingEngine {
public:
    using ExchangeFunction = std::function<EchoResult(const EchoRequest&)>;

    // How long Stop gives a worker that is still inside an exchange (a hung name lookup, say)
    // before leaving it to end on its own.
    static constexpr std::chrono::milliseconds kStopWait{500};

    explicit PingEngine(ExchangeFunction exchange);
    PingEngine(const PingEngine&) = delete;
    PingEngine& operator=(const PingEngine&) = delete;
    ~PingEngine();

    // Return values as the exports: -1 not started (or already started for Start), 0 done, 1 busy.
    int Start();
    int Stop();
    int Ping(const char* host, std::uint32_t payloadSize, std::uint32_t timeoutMs, std::int32_t showMessages);
    int Check(std::int32_t* roundTripMs, std::int32_t* resultCode);

private:
    // What the caller and one worker share. The worker holds it too, so a worker left behind
    // by Stop never touches anything that is gone, and a later Start gets a slot of its own.
    struct Slot;
    static void Work(std::shared_ptr<Slot> slot);

    const ExchangeFunction exchange_;
    bool started_ = false;  // caller's thread only
    std::shared_ptr<Slot> slot_;
    std::thread worker_;
};

}  // namespace tarnel
