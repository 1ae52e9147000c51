#pragma once
// The web check of http:// and https:// lines over the system's own HTTP stack (Windows only).

#include "engine/EchoNetwork.h"

namespace tarnel {

// What EchoNetwork::WebCheck promises, over WinHTTP; the network gives the name's lookup and the clock.
CheckOutcome WinHttpCheck(EchoNetwork& network, const SiteTarget& target, std::uint32_t timeoutMs);

}  // namespace tarnel
