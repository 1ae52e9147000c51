#pragma once
// One complete ICMP echo exchange: socket, timeouts, resolution, one request, one reply.

#include "engine/EchoNetwork.h"

#include <cstdint>

namespace tarnel {

inline constexpr std::size_t kHostBufferSize = 200;  // 199 characters and the terminator

struct EchoRequest {
    char host[kHostBufferSize] = {};
    bool hostTooLong = false;  // the caller's text did not fit; it is never looked up cut short
    std::uint32_t payloadSize = 0;
    std::uint32_t timeoutMs = 0;
    std::int32_t showMessages = 0;
};

struct EchoResult {
    int code = 0;                // 0 reply received, 1..13 failures
    std::int32_t roundTripMs = 0;  // set only for code 0
};

// Fills the request's host text from a caller's text, marking texts that do not fit.
void SetRequestHost(EchoRequest& request, const char* host);

EchoResult IcmpEcho(EchoNetwork& network, const EchoRequest& request);

}  // namespace tarnel
