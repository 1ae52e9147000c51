#pragma once
// The TCP connection of the stream checks. Winsock and POSIX sockets make it the same way (a
// non-blocking connect, then a wait of at most the time given), so both seams share this code.
// Platform code only; the checks see StreamSocket.

#include "engine/EchoNetwork.h"

#include <memory>

namespace tarnel {

// What EchoNetwork::Connect promises, over the platform's sockets.
std::unique_ptr<StreamSocket> ConnectTcp(const EchoAddress& address, std::uint16_t port, std::uint32_t timeoutMs,
                                         int& failureCode, long& error);

}  // namespace tarnel
