#pragma once
// The request slot and the worker thread behind the four exports: one request at a time,
// run on the worker so the caller never waits on the network.

#include "engine/IcmpEcho.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
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
    // With a result, `text` (when given) takes the address of the last check: see WriteAddressText.
    int Check(std::int32_t* roundTripMs, std::int32_t* resultCode, char* text = nullptr);

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
    std::string address_;

    std::thread worker_;
};

// Writes `address` and its terminator over the caller's text, whose length (up to its NUL) is
// all the room there is: the caller's spaces are never written beyond. An address that does not
// fit leaves the text as it was.
void WriteAddressText(char* text, const std::string& address);

}  // namespace tarnel
