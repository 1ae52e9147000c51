#pragma once
// The one timeout a check's steps share. It starts once the check's name is resolved: the
// lookup is bounded by the system's resolver, the timeout by everything after it.

#include "engine/EchoNetwork.h"

#include <cstdint>

namespace tarnel {

class CheckDeadline {
public:
    CheckDeadline(EchoNetwork& clock, std::uint32_t timeoutMs)
        : clock_(clock), startMs_(clock.NowMs()), timeoutMs_(timeoutMs)
    {
    }
    std::uint32_t StartMs() const { return startMs_; }
    std::uint32_t Elapsed() const { return clock_.NowMs() - startMs_; }
    // Milliseconds left; 0 once the time is up.
    std::uint32_t Left() const
    {
        const std::uint32_t spent = Elapsed();
        return spent >= timeoutMs_ ? 0 : timeoutMs_ - spent;
    }

private:
    EchoNetwork& clock_;
    const std::uint32_t startMs_;
    const std::uint32_t timeoutMs_;
};

}  // namespace tarnel
