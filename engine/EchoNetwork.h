#pragma once
// The seam between the echo exchange and the platform: Winsock on Windows, POSIX sockets
// elsewhere. The exchange logic is the same code on both; only these operations differ.

#include "engine/EchoPacket.h"

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
};

// The platform's real network (Winsock or POSIX), one per process.
EchoNetwork& SystemNetwork();

// The platform's unprivileged echo service on its own (Windows: IP Helper's IcmpSendEcho and
// Icmp6SendEcho2; Linux: an ICMP or ICMPv6 datagram socket), as OpenSocket falls back to it;
// null when unavailable.
std::unique_ptr<EchoSocket> OpenUnprivilegedSocket(IpFamily family, long& error);

}  // namespace tarnel
