#include "engine/PingEngine.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <utility>

namespace tarnel {

struct PingEngine::Slot {
    explicit Slot(ExchangeFunction function) : exchange(std::move(function)) {}

    const ExchangeFunction exchange;
    std::mutex lock;  // guards everything below; never held across an exchange
    std::condition_variable wake;  // a request, or the stop request, for the worker
    std::condition_variable left;  // the worker has ended, for Stop
    bool stopRequested = false;
    bool pending = false;
    bool ended = false;
    EchoRequest request;
    std::int32_t roundTripMs = 0;
    std::int32_t resultCode = 0;
};

PingEngine::PingEngine(ExchangeFunction exchange) : exchange_(std::move(exchange)) {}

PingEngine::~PingEngine()
{
    Stop();
}

int PingEngine::Start()
{
    if (started_)
        return -1;
    auto slot = std::make_shared<Slot>(exchange_);
    try {
        worker_ = std::thread(&PingEngine::Work, slot);
    } catch (const std::system_error&) {
        return -1;
    }
    slot_ = std::move(slot);
    started_ = true;
    return 0;
}

int PingEngine::Stop()
{
    if (!started_)
        return -1;
    bool ended = false;
    {
        std::unique_lock<std::mutex> guard(slot_->lock);
        slot_->stopRequested = true;
        slot_->wake.notify_all();
        // An idle worker leaves at once. One inside an exchange is not waited for without
        // bound: it ends on its own, with the slot it holds, and its result goes nowhere.
        ended = slot_->left.wait_for(guard, kStopWait, [this] { return slot_->ended; });
    }
    if (ended)
        worker_.join();
    else
        worker_.detach();
    slot_.reset();
    started_ = false;
    return 0;
}

int PingEngine::Ping(const char* host, std::uint32_t payloadSize, std::uint32_t timeoutMs,
                     std::int32_t showMessages)
{
    if (!started_)
        return -1;
    {
        std::lock_guard<std::mutex> guard(slot_->lock);
        if (slot_->pending)
            return 1;
        SetRequestHost(slot_->request, host);
        slot_->request.payloadSize = payloadSize;
        slot_->request.timeoutMs = timeoutMs;
        slot_->request.showMessages = showMessages;
        slot_->roundTripMs = 0;
        slot_->pending = true;
    }
    slot_->wake.notify_all();
    return 0;
}

int PingEngine::Check(std::int32_t* roundTripMs, std::int32_t* resultCode)
{
    if (!started_)
        return -1;
    std::lock_guard<std::mutex> guard(slot_->lock);
    if (slot_->pending)
        return 1;
    if (roundTripMs != nullptr)
        *roundTripMs = slot_->roundTripMs;
    if (resultCode != nullptr)
        *resultCode = slot_->resultCode;
    return 0;
}

void PingEngine::Work(std::shared_ptr<Slot> slot)
{
    std::unique_lock<std::mutex> guard(slot->lock);
    while (!slot->stopRequested) {
        if (slot->pending) {
            // The request is copied out so the exchange runs without the lock; nobody writes
            // the slot while pending is set.
            const EchoRequest request = slot->request;
            guard.unlock();
            EchoResult result;
            try {
                result = slot->exchange(request);
            } catch (...) {
                // Only allocation can throw in there; report it as the buffer failure it is.
                result = {6, 0};
            }
            guard.lock();
            slot->roundTripMs = result.code == 0 ? result.roundTripMs : 0;
            slot->resultCode = result.code;
            slot->pending = false;
            continue;
        }
        // Sleeps until a new request or the stop request wakes it: an idle engine costs
        // nothing between a program's checks.
        slot->wake.wait(guard, [&slot] { return slot->pending || slot->stopRequested; });
    }
    slot->ended = true;
    slot->left.notify_all();
}

}  // namespace tarnel
