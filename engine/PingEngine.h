#pragma once
// The request slot and the worker thread behind the four exports: one request at a time,
// run on the worker so the caller never waits on the network.

#include "engine/IcmpEcho.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace tarnel {

class PingEngine {
public:
    using ExchangeFunction = std::function<EchoResult(const EchoRequest&)>;

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
    void Work();

    const ExchangeFunction exchange_;
    bool started_ = false;  // caller's thread only

    std::mutex lock_;  // guards everything below; never held across an exchange
    std::condition_variable wake_;
    bool stopRequested_ = false;
    bool pending_ = false;
    EchoRequest request_;
    std::int32_t roundTripMs_ = 0;
    std::int32_t resultCode_ = 0;

    std::thread worker_;
};

}  // namespace tarnel
