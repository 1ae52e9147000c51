#pragma once
// The seam between the echo exchange and the platform: Winsock on Windows, POSIX sockets
// elsewhere. The exchange logic is the same code on both; only these operations differ.
// Addresses are IPv4 in network byte order.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tarnel {

// Outcome of one send or receive.
struct IoResult {
    long bytes = 0;         // bytes moved when it succeeded
    bool failed = false;
    bool timedOut = false;  // the failure was the socket's timeout running out
    long error = 0;         // socket error number when it failed
};

// One socket that carries ICMP echo messages. What Receive delivers always starts with an
// IPv4 header, as from a raw socket, so every datagram goes through the same checks.
class EchoSocket {
public:
    virtual ~EchoSocket() = default;
    // 0 on success, else the socket error.
    virtual long SetReceiveTimeout(std::uint32_t ms) = 0;
    virtual long SetSendTimeout(std::uint32_t ms) = 0;
    virtual IoResult Send(const std::uint8_t* packet, std::size_t length, std::uint32_t address) = 0;
    virtual IoResult Receive(std::uint8_t* buffer, std::size_t capacity, std::uint32_t& source) = 0;
};

class EchoNetwork {
public:
    virtual ~EchoNetwork() = default;
    // Starts the socket layer; 0 on success, else the system error. Stop only after success.
    virtual long StartLayer() = 0;
    virtual void StopLayer() = 0;
    // A raw ICMP socket, or without the right to one the platform's unprivileged echo
    // service; null when neither can be had, with the error of the raw attempt.
    virtual std::unique_ptr<EchoSocket> OpenSocket(long& error) = 0;
    // Host name lookup first, then the dotted-address reading; false when both fail.
    virtual bool Resolve(const char* host, std::uint32_t& address) = 0;
    virtual std::string AddressText(std::uint32_t address) = 0;
    virtual std::uint16_t ProcessIdentifier() = 0;
    // Monotonic milliseconds, wrapping at 32 bits.
    virtual std::uint32_t NowMs() = 0;
    virtual void ShowMessage(const std::string& text) = 0;
};

// The platform's real network (Winsock or POSIX), one per process.
EchoNetwork& SystemNetwork();

// The platform's unprivileged echo service on its own (Windows: IP Helper's IcmpSendEcho;
// Linux: an ICMP datagram socket), as OpenSocket falls back to it; null when unavailable.
std::unique_ptr<EchoSocket> OpenUnprivilegedSocket(long& error);

}  // namespace tarnel
