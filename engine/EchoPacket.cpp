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

namespace {

// The ones'-complement sum of 16-bit words read little-endian, not yet folded.
std::uint32_t AddWords(std::uint32_t sum, const std::uint8_t* data, std::size_t length)
{
    std::size_t i = 0;
    for (; i + 1 < length; i += 2)
        sum += ReadLe16(data + i);
    if (i < length)
        sum += data[i];
    return sum;
}

std::uint16_t Fold(std::uint32_t sum)
{
    sum = (sum >> 16) + (sum & 0xFFFF);
    sum += sum >> 16;
    return static_cast<std::uint16_t>(~sum);
}

}  // namespace

std::uint16_t IcmpChecksum(const std::uint8_t* data, std::size_t length)
{
    return Fold(AddWords(0, data, length));
}

std::uint16_t Icmp6Checksum(const std::uint8_t* source, const std::uint8_t* destination,
                            const std::uint8_t* message, std::size_t length)
{
    // The words keep the byte order of memory throughout, so the pseudo-header's length and
    // next-header fields go in as the network-order bytes they are on the wire.
    std::uint8_t tail[8] = {static_cast<std::uint8_t>(length >> 24), static_cast<std::uint8_t>(length >> 16),
                            static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length), 0, 0, 0, 58};
    std::uint32_t sum = AddWords(0, source, 16);
    sum = AddWords(sum, destination, 16);
    sum = AddWords(sum, tail, sizeof tail);
    return Fold(AddWords(sum, message, length));
}

void FillEchoRequest(std::uint8_t* packet, std::size_t length, std::uint16_t identifier, IpFamily family)
{
    if (length < kIcmpHeaderSize)
        return;
    packet[0] = family == IpFamily::V6 ? kIcmp6EchoRequest : kIcmpEchoRequest;
    packet[1] = 0;
    WriteLe16(packet + 2, 0);
    WriteLe16(packet + 4, identifier);
    WriteLe16(packet + 6, 0);
    std::memset(packet + kIcmpHeaderSize, kPayloadFill, length - kIcmpHeaderSize);
}

void StampEchoRequest(std::uint8_t* packet, std::size_t length, std::uint32_t timestampMs, IpFamily family)
{
    if (length < kIcmpHeaderSize)
        return;
    WriteLe16(packet + 2, 0);
    WriteLe16(packet + 6, 0);
    WriteLe32(packet + 8, timestampMs);
    if (family == IpFamily::V4)
        WriteLe16(packet + 2, IcmpChecksum(packet, length));
}

namespace {

// Where the ICMP message starts: past the IPv4 header its first byte measures, or at once for
// ICMPv6. Nothing fits in an empty IPv4 datagram, which is told by a length beyond it.
std::size_t MessageOffset(const std::uint8_t* datagram, std::size_t length, IpFamily family)
{
    if (family == IpFamily::V6)
        return 0;
    return length == 0 ? 1 : static_cast<std::size_t>(datagram[0] & 0x0F) * 4;
}

}  // namespace

ReplyVerdict CheckReply(const std::uint8_t* datagram, std::size_t length, std::uint16_t identifier,
                        IpFamily family)
{
    ReplyVerdict verdict;
    const std::size_t offset = MessageOffset(datagram, length, family);
    if (length < offset + 8) {
        verdict.code = 11;
        return verdict;
    }
    const std::uint8_t* icmp = datagram + offset;
    verdict.icmpType = icmp[0];
    verdict.sequence = ReadLe16(icmp + 6);
    if (verdict.icmpType != (family == IpFamily::V6 ? kIcmp6EchoReply : kIcmpEchoReply)) {
        verdict.code = 12;
        return verdict;
    }
    if (ReadLe16(icmp + 4) != identifier) {
        verdict.code = 13;
        return verdict;
    }
    // The timestamp sits past the 8 bytes the length check guarantees; a reply cut short
    // after them echoes no time, which reads as 0 rather than beyond the datagram.
    verdict.echoedTimestamp = length >= offset + 12 ? ReadLe32(icmp + 8) : 0;
    return verdict;
}

bool IsReadPast(const std::uint8_t* datagram, std::size_t length, std::uint16_t identifier, IpFamily family)
{
    const std::size_t offset = MessageOffset(datagram, length, family);
    if (length < offset + 8)
        return false;
    const std::uint8_t* icmp = datagram + offset;
    if (family == IpFamily::V6 && icmp[0] > kIcmp6EchoReply)
        return true;
    const std::uint8_t request = family == IpFamily::V6 ? kIcmp6EchoRequest : kIcmpEchoRequest;
    return icmp[0] == request && ReadLe16(icmp + 4) == identifier;
}

}  // namespace tarnel
