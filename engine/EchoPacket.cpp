#include "engine/EchoPacket.h"

#include <cstring>

namespace tarnel {

std::uint32_t EffectivePayloadSize(std::uint32_t requested)
{
    return (requested == 0 || requested > kMaxPayloadSize) ? kDefaultPayloadSize : requested;
}

std::uint32_t EffectiveTimeout(std::uint32_t requestedMs)
{
    return (requestedMs < kMinTimeoutMs || requestedMs > kMaxTimeoutMs) ? kDefaultTimeoutMs : requestedMs;
}

std::uint16_t ReadLe16(const std::uint8_t* at)
{
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

std::uint32_t ReadLe32(const std::uint8_t* at)
{
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
           (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

void WriteLe16(std::uint8_t* at, std::uint16_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void WriteLe32(std::uint8_t* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint16_t IcmpChecksum(const std::uint8_t* data, std::size_t length)
{
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + 1 < length; i += 2)
        sum += ReadLe16(data + i);
    if (i < length)
        sum += data[i];
    sum = (sum >> 16) + (sum & 0xFFFF);
    sum += sum >> 16;
    return static_cast<std::uint16_t>(~sum);
}

void FillEchoRequest(std::uint8_t* packet, std::size_t length, std::uint16_t identifier)
{
    if (length < kIcmpHeaderSize)
        return;
    packet[0] = kIcmpEchoRequest;
    packet[1] = 0;
    WriteLe16(packet + 2, 0);
    WriteLe16(packet + 4, identifier);
    WriteLe16(packet + 6, 0);
    std::memset(packet + kIcmpHeaderSize, kPayloadFill, length - kIcmpHeaderSize);
}

void StampEchoRequest(std::uint8_t* packet, std::size_t length, std::uint32_t timestampMs)
{
    if (length < kIcmpHeaderSize)
        return;
    WriteLe16(packet + 2, 0);
    WriteLe16(packet + 6, 0);
    WriteLe32(packet + 8, timestampMs);
    WriteLe16(packet + 2, IcmpChecksum(packet, length));
}

namespace {

// Header length from the IPv4 header's first byte, or 0 when there is no byte at all.
std::size_t IpHeaderLength(const std::uint8_t* datagram, std::size_t length)
{
    return length == 0 ? 0 : static_cast<std::size_t>(datagram[0] & 0x0F) * 4;
}

}  // namespace

ReplyVerdict CheckReply(const std::uint8_t* datagram, std::size_t length, std::uint16_t identifier)
{
    ReplyVerdict verdict;
    const std::size_t headerLength = IpHeaderLength(datagram, length);
    // An empty datagram has no header to measure; it is short all the same.
    if (length == 0 || length < headerLength + 8) {
        verdict.code = 11;
        return verdict;
    }
    const std::uint8_t* icmp = datagram + headerLength;
    verdict.icmpType = icmp[0];
    verdict.sequence = ReadLe16(icmp + 6);
    if (verdict.icmpType != kIcmpEchoReply) {
        verdict.code = 12;
        return verdict;
    }
    if (ReadLe16(icmp + 4) != identifier) {
        verdict.code = 13;
        return verdict;
    }
    // The timestamp sits past the 8 bytes the length check guarantees; a reply cut short
    // after them echoes no time, which reads as 0 rather than beyond the datagram.
    verdict.echoedTimestamp = length >= headerLength + 12 ? ReadLe32(icmp + 8) : 0;
    return verdict;
}

bool IsOwnRequestCopy(const std::uint8_t* datagram, std::size_t length, std::uint16_t identifier)
{
    const std::size_t headerLength = IpHeaderLength(datagram, length);
    if (length == 0 || length < headerLength + 8)
        return false;
    const std::uint8_t* icmp = datagram + headerLength;
    return icmp[0] == kIcmpEchoRequest && ReadLe16(icmp + 4) == identifier;
}

}  // namespace tarnel
