#include "engine/PingEngine.h"

#include <chrono>
#include <cstring>
#include <system_error>
#include <utility>

namespace tarnel {

PingEngine::PingEngine(ExchangeFunction exchange) : exchange_(std::move(exchange)) {}

PingEngine::~PingEngine()
{
    Stop();
}

int PingEngine::Start()
{
    if (started_)
        return -1;
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopRequested_ = false;
        pending_ = false;
        roundTripMs_ = 0;
        resultCode_ = 0;
        address_.clear();
    }
    try {
        worker_ = std::thread(&PingEngine::Work, this);
    } catch (const std::system_error&) {
        return -1;
    }
    started_ = true;
    return 0;
}

int PingEngine::Stop()
{
    if (!started_)
        return -1;
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopRequested_ = true;
    }
    wake_.notify_all();
    // The worker must be gone before its state may be torn down. An idle worker leaves at
    // once; a running exchange is bounded by its own timeouts and is waited for.
    if (worker_.joinable())
        worker_.join();
    started_ = false;
    return 0;
}

int PingEngine::Ping(const char* host, std::uint32_t payloadSize, std::uint32_t timeoutMs,
                     std::int32_t showMessages)
{
    if (!started_)
        return -1;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (pending_)
            return 1;
        SetRequestHost(request_, host);
        request_.payloadSize = payloadSize;
        request_.timeoutMs = timeoutMs;
        request_.showMessages = showMessages;
        roundTripMs_ = 0;
        pending_ = true;
    }
    wake_.notify_all();
    return 0;
}

int PingEngine::Check(std::int32_t* roundTripMs, std::int32_t* resultCode, char* text)
{
    if (!started_)
        return -1;
    std::lock_guard<std::mutex> guard(lock_);
    if (pending_)
        return 1;
    if (roundTripMs != nullptr)
        *roundTripMs = roundTripMs_;
    if (resultCode != nullptr)
        *resultCode = resultCode_;
    WriteAddressText(text, address_);
    return 0;
}

void WriteAddressText(char* text, const std::string& address)
{
    if (text == nullptr || address.size() > std::strlen(text))
        return;
    std::memcpy(text, address.c_str(), address.size() + 1);
}

void PingEngine::Work()
{
    std::unique_lock<std::mutex> guard(lock_);
    while (!stopRequested_) {
        if (pending_) {
            // The request is copied out so the exchange runs without the lock; nobody writes
            // the slot while pending is set.
            const EchoRequest request = request_;
            guard.unlock();
            EchoResult result;
            try {
                result = exchange_(request);
            } catch (...) {
                // Only allocation can throw in there; report it as the buffer failure it is.
                result = {6, 0, {}};
            }
            guard.lock();
            roundTripMs_ = result.code == 0 ? result.roundTripMs : 0;
            resultCode_ = result.code;
            address_ = std::move(result.address);
            pending_ = false;
            continue;
        }
        // Sleeps until a new request or the stop request wakes it: an idle engine costs
        // nothing between a program's checks.
        wake_.wait(guard, [this] { return pending_ || stopRequested_; });
    }
}

}  // namespace tarnel
