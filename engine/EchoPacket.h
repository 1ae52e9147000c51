#pragma once
// The echo request as it goes on the wire and the checks a received datagram must pass.
// Plain computation only, so it builds and is tested on every platform.

#include <cstddef>
#include <cstdint>

namespace tarnel {

inline constexpr std::size_t kIcmpHeaderSize = 12;        // type, code, checksum, id, sequence, timestamp
inline constexpr std::uint32_t kMaxPayloadSize = 1024;
inline constexpr std::uint32_t kDefaultPayloadSize = 32;
inline constexpr std::uint32_t kMinTimeoutMs = 500;
inline constexpr std::uint32_t kMaxTimeoutMs = 20000;
inline constexpr std::uint32_t kDefaultTimeoutMs = 2000;
// Large enough for the header plus the largest accepted payload, so 1013..1024 bytes go out whole.
inline constexpr std::size_t kRequestBufferSize = kIcmpHeaderSize + kMaxPayloadSize;
inline constexpr std::size_t kReplyBufferSize = 1024;
inline constexpr std::uint8_t kPayloadFill = 0x45;

inline constexpr std::uint8_t kIcmpEchoReply = 0;
inline constexpr std::uint8_t kIcmpEchoRequest = 8;
inline constexpr std::uint8_t kIcmp6EchoRequest = 128;
inline constexpr std::uint8_t kIcmp6EchoReply = 129;

// Which protocol carries the exchange: ICMP over IPv4, or ICMPv6. The echo message is laid out
// the same in both; only the type numbers, the checksum and the received framing differ.
enum class IpFamily : std::uint8_t { V4, V6 };

// Payload sizes of 0 or above the maximum fall back to the default.
std::uint32_t EffectivePayloadSize(std::uint32_t requested);
// Timeouts outside 500..20000 ms (unsigned, so "negative" values count as large) become 2000 ms.
std::uint32_t EffectiveTimeout(std::uint32_t requestedMs);

// RFC 1071 Internet checksum; 16-bit words are read little-endian as laid out in memory,
// an odd last byte is added as a low-order byte.
std::uint16_t IcmpChecksum(const std::uint8_t* data, std::size_t length);

// Writes the echo request type (8, or 128 for ICMPv6), code 0, zero checksum, the identifier
// and sequence 0, then fills bytes 12..length-1 with 0x45. The timestamp is left for the caller.
void FillEchoRequest(std::uint8_t* packet, std::size_t length, std::uint16_t identifier,
                     IpFamily family = IpFamily::V4);

// Completes a request: writes the timestamp, then the checksum over the whole packet. An ICMPv6
// checksum covers the IPv6 pseudo-header, whose source address only the stack knows when it
// sends, so for ICMPv6 the field stays 0 for the socket layer to fill.
void StampEchoRequest(std::uint8_t* packet, std::size_t length, std::uint32_t timestampMs,
                      IpFamily family = IpFamily::V4);

// The ICMPv6 checksum: IcmpChecksum over the pseudo-header (source and destination address,
// 32-bit upper-layer length, next header 58) followed by the message. Addresses are 16 bytes
// in network order.
std::uint16_t Icmp6Checksum(const std::uint8_t* source, const std::uint8_t* destination,
                            const std::uint8_t* message, std::size_t length);

// Multi-byte fields are stored in the machine's own (little-endian) order as written from memory.
std::uint16_t ReadLe16(const std::uint8_t* at);
std::uint32_t ReadLe32(const std::uint8_t* at);
void WriteLe16(std::uint8_t* at, std::uint16_t value);
void WriteLe32(std::uint8_t* at, std::uint32_t value);

// What the single received datagram says. Over IPv4 it starts with its IP header, as from a
// raw socket; an ICMPv6 message arrives without one.
struct ReplyVerdict {
    int code = 0;                  // 0 valid reply, 11 too short, 12 not an echo reply, 13 not ours
    std::uint8_t icmpType = 0;
    std::uint16_t sequence = 0;
    std::uint32_t echoedTimestamp = 0;
};

// The checks in their fixed order: length, ICMP type, identifier.
ReplyVerdict CheckReply(const std::uint8_t* datagram, std::size_t length, std::uint16_t identifier,
                        IpFamily family = IpFamily::V4);

// True for a datagram that says nothing about our request, read past within the same timeout:
// the copy of our own request that some stacks (loopback on Linux, and so Wine) hand to the raw
// socket, and for ICMPv6 every informational message but the echo pair. A raw ICMPv6 socket
// also sees neighbour discovery and multicast listener messages, which never answer a request
// (the first neighbour advertisement would otherwise end most exchanges); error messages
// (types below 128) may be about our request and are judged.
bool IsReadPast(const std::uint8_t* datagram, std::size_t length, std::uint16_t identifier,
                IpFamily family = IpFamily::V4);

}  // namespace tarnel
