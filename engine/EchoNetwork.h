#pragma once
// The seam between the checks and the platform: Winsock on Windows, POSIX sockets elsewhere.
// The echo exchange and the TCP and web checks are the same code on both; only these
// operations differ.

#include "engine/EchoPacket.h"
#include "engine/SiteTarget.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tarnel {

// A host's address, IPv4 or IPv6, in network byte order.
struct EchoAddress {
    IpFamily family = IpFamily::V4;
    std::uint32_t v4 = 0;
    std::array<std::uint8_t, 16> v6{};
    std::uint32_t scopeId = 0;  // the zone of a link-local IPv6 address, 0 when none

    static EchoAddress Ipv4(std::uint32_t address)
    {
        EchoAddress result;
        result.v4 = address;
        return result;
    }
    static EchoAddress Ipv6(const std::array<std::uint8_t, 16>& address, std::uint32_t scope = 0)
    {
        EchoAddress result;
        result.family = IpFamily::V6;
        result.v6 = address;
        result.scopeId = scope;
        return result;
    }
    bool operator==(const EchoAddress&) const = default;
};

// Outcome of one send or receive.
struct IoResult {
    long bytes = 0;         // bytes moved when it succeeded
    bool failed = false;
    bool timedOut = false;  // the failure was the socket's timeout running out
    long error = 0;         // socket error number when it failed
};

// One socket that carries ICMP echo messages of one family. What Receive delivers over IPv4
// always starts with an IPv4 header, as from a raw socket, and an ICMPv6 message never has one,
// so every datagram of a family goes through the same checks.
class EchoSocket {
public:
    virtual ~EchoSocket() = default;
    // 0 on success, else the socket error.
    virtual long SetReceiveTimeout(std::uint32_t ms) = 0;
    virtual long SetSendTimeout(std::uint32_t ms) = 0;
    virtual IoResult Send(const std::uint8_t* packet, std::size_t length, const EchoAddress& address) = 0;
    virtual IoResult Receive(std::uint8_t* buffer, std::size_t capacity, EchoAddress& source) = 0;
};

// A connected TCP socket. Each call waits at most the time it is given.
class StreamSocket {
public:
    virtual ~StreamSocket() = default;
    virtual IoResult Send(const std::uint8_t* data, std::size_t length, std::uint32_t timeoutMs) = 0;
    // 0 bytes once the peer has closed its side.
    virtual IoResult Receive(std::uint8_t* buffer, std::size_t capacity, std::uint32_t timeoutMs) = 0;
};

// What a TCP or web check found: a result code (ResultText.h), the round trip, and the system's
// error behind a failure, for the diagnostics. Every kind of check keeps the same rule: its
// timeout bounds what it does once the name is resolved (the lookup is bounded by the system's
// resolver), and its round trip is the time from its first packet to the answer that decides:
// the echo reply, the accepted connection, the final status line.
struct CheckOutcome {
    int code = 0;
    std::int32_t elapsedMs = 0;
    long systemError = 0;
};

class EchoNetwork {
public:
    virtual ~EchoNetwork() = default;
    // Starts the socket layer; 0 on success, else the system error. Stop only after success.
    virtual long StartLayer() = 0;
    virtual void StopLayer() = 0;
    // A raw ICMP (or ICMPv6) socket, or without the right to one the platform's unprivileged
    // echo service; null when neither can be had, with the error of the raw attempt.
    virtual std::unique_ptr<EchoSocket> OpenSocket(IpFamily family, long& error) = 0;
    // An IPv6 address written as such (in brackets or not, with a zone or not); else the host
    // name's first IPv4 address, then the dotted-address reading, then the name's first IPv6
    // address. False when all of them fail.
    virtual bool Resolve(const char* host, EchoAddress& address) = 0;
    virtual std::string AddressText(const EchoAddress& address) = 0;
    virtual std::uint16_t ProcessIdentifier() = 0;
    // Monotonic milliseconds, wrapping at 32 bits.
    virtual std::uint32_t NowMs() = 0;
    virtual void ShowMessage(const std::string& text) = 0;

    // A TCP connection to the address and port within the time given, with the system's
    // handshake only (a SYN that goes unanswered is not sent again, as an echo request is not).
    // Null when there is none: `failureCode` says why (refused, unreachable, timed out, failed,
    // or no socket) and `error` is the system's error.
    virtual std::unique_ptr<StreamSocket> Connect(const EchoAddress& address, std::uint16_t port,
                                                  std::uint32_t timeoutMs, int& failureCode, long& error) = 0;

    // One web request (HEAD, or GET where the server refuses HEAD) to an http:// or https://
    // target, following no redirect, once the name is resolved with Resolve. By default plain
    // HTTP over Connect, and no HTTPS; Windows uses the system's own HTTP stack for both.
    virtual CheckOutcome WebCheck(const SiteTarget& target, std::uint32_t timeoutMs);
};

// The platform's real network (Winsock or POSIX), one per process.
EchoNetwork& SystemNetwork();

// The platform's unprivileged echo service on its own (Windows: IP Helper's IcmpSendEcho and
// Icmp6SendEcho2; Linux: an ICMP or ICMPv6 datagram socket), as OpenSocket falls back to it;
// null when unavailable.
std::unique_ptr<EchoSocket> OpenUnprivilegedSocket(IpFamily family, long& error);

}  // namespace tarnel
