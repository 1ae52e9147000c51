#include "engine/EchoMessages.h"
#include "engine/EchoPacket.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace tarnel;

namespace {

// Ones'-complement sum of 16-bit little-endian words, as a receiver verifies a packet.
std::uint16_t OnesComplementSum(const std::vector<std::uint8_t>& data)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < data.size(); i += 2)
        sum += data[i] | (i + 1 < data.size() ? data[i + 1] << 8 : 0);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(sum);
}

std::vector<std::uint8_t> Datagram(std::uint8_t firstByte, std::vector<std::uint8_t> icmp)
{
    const std::size_t headerLength = (firstByte & 0x0F) * 4u;
    std::vector<std::uint8_t> datagram(headerLength, 0);
    if (!datagram.empty())
        datagram[0] = firstByte;
    datagram.insert(datagram.end(), icmp.begin(), icmp.end());
    return datagram;
}

std::vector<std::uint8_t> EchoMessage(std::uint8_t type, std::uint16_t identifier, std::uint16_t sequence,
                                      std::uint32_t timestamp)
{
    std::vector<std::uint8_t> icmp(12, 0);
    icmp[0] = type;
    WriteLe16(icmp.data() + 4, identifier);
    WriteLe16(icmp.data() + 6, sequence);
    WriteLe32(icmp.data() + 8, timestamp);
    return icmp;
}

}  // namespace

TEST(IcmpChecksum, KnownValuesIncludingOddLengths)
{
    const std::uint8_t even[] = {0x01, 0x02, 0x03, 0x04};
    EXPECT_EQ(IcmpChecksum(even, 4), static_cast<std::uint16_t>(~(0x0201 + 0x0403)));
    // An odd last byte counts as a low-order byte.
    const std::uint8_t odd[] = {0x01, 0x02, 0xAB};
    EXPECT_EQ(IcmpChecksum(odd, 3), static_cast<std::uint16_t>(~(0x0201 + 0x00AB)));
    EXPECT_EQ(IcmpChecksum(odd, 1), static_cast<std::uint16_t>(~0x0001));
    EXPECT_EQ(IcmpChecksum(odd, 0), 0xFFFF);
    // Carries fold back in, twice when the first fold carries again.
    const std::uint8_t carries[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x00};
    EXPECT_EQ(IcmpChecksum(carries, 6), static_cast<std::uint16_t>(~0x0002));
}

TEST(IcmpChecksum, StoredValueMakesWholePacketSumToAllOnes)
{
    for (std::size_t length : {12u, 13u, 44u, 75u, 1036u}) {
        std::vector<std::uint8_t> packet(length);
        FillEchoRequest(packet.data(), length, 0xBEEF);
        StampEchoRequest(packet.data(), length, 0xFEDCBA98u);
        EXPECT_EQ(OnesComplementSum(packet), 0xFFFF) << "length " << length;
    }
}

TEST(EchoRequest, LayoutOfHeaderAndPayload)
{
    std::vector<std::uint8_t> packet(76 + 3, 0xCC);  // bytes past the packet stay untouched
    FillEchoRequest(packet.data(), 76, 0x1234);
    StampEchoRequest(packet.data(), 76, 0x11223344u);
    EXPECT_EQ(packet[0], 8);
    EXPECT_EQ(packet[1], 0);
    EXPECT_EQ(packet[4], 0x34);  // identifier, little-endian as in memory
    EXPECT_EQ(packet[5], 0x12);
    EXPECT_EQ(packet[6], 0);
    EXPECT_EQ(packet[7], 0);
    EXPECT_EQ(ReadLe32(packet.data() + 8), 0x11223344u);
    for (std::size_t i = 12; i < 76; ++i)
        ASSERT_EQ(packet[i], 0x45) << "byte " << i;
    EXPECT_EQ(packet[76], 0xCC);
    std::vector<std::uint8_t> zeroed(packet.begin(), packet.begin() + 76);
    zeroed[2] = zeroed[3] = 0;
    EXPECT_EQ(ReadLe16(packet.data() + 2), IcmpChecksum(zeroed.data(), zeroed.size()));
}

TEST(EchoRequest, BoundsOfPayloadAndTimeout)
{
    EXPECT_EQ(EffectivePayloadSize(0), 32u);
    EXPECT_EQ(EffectivePayloadSize(1), 1u);
    EXPECT_EQ(EffectivePayloadSize(64), 64u);
    EXPECT_EQ(EffectivePayloadSize(1024), 1024u);
    EXPECT_EQ(EffectivePayloadSize(1025), 32u);
    EXPECT_EQ(EffectivePayloadSize(0xFFFFFFFFu), 32u);
    // The whole largest packet fits the request buffer.
    EXPECT_GE(kRequestBufferSize, EffectivePayloadSize(1024) + kIcmpHeaderSize);

    EXPECT_EQ(EffectiveTimeout(499), 2000u);
    EXPECT_EQ(EffectiveTimeout(500), 500u);
    EXPECT_EQ(EffectiveTimeout(20000), 20000u);
    EXPECT_EQ(EffectiveTimeout(20001), 2000u);
    EXPECT_EQ(EffectiveTimeout(static_cast<std::uint32_t>(-1000)), 2000u);  // "negative" counts as large
    EXPECT_EQ(EffectiveTimeout(0), 2000u);
}

TEST(ReplyCheck, ChecksRunInOrderLengthTypeIdentifier)
{
    // Too short wins even over a wrong type.
    auto shortOne = Datagram(0x45, {3, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(CheckReply(shortOne.data(), shortOne.size(), 7).code, 11);
    EXPECT_EQ(CheckReply(shortOne.data(), 0, 7).code, 11);
    // The header length comes from the first byte: with options, 28 bytes are too few.
    auto withOptions = Datagram(0x46, EchoMessage(0, 7, 0, 0));
    EXPECT_EQ(CheckReply(withOptions.data(), 24 + 7, 7).code, 11);
    EXPECT_EQ(CheckReply(withOptions.data(), withOptions.size(), 7).code, 0);

    // A wrong type wins over a wrong identifier; the type is reported.
    auto unreachable = Datagram(0x45, EchoMessage(3, 99, 0, 0));
    const ReplyVerdict report = CheckReply(unreachable.data(), unreachable.size(), 7);
    EXPECT_EQ(report.code, 12);
    EXPECT_EQ(report.icmpType, 3);

    auto foreign = Datagram(0x45, EchoMessage(0, 8, 0, 0));
    EXPECT_EQ(CheckReply(foreign.data(), foreign.size(), 7).code, 13);

    auto ours = Datagram(0x45, EchoMessage(0, 0xABCD, 0x0102, 0xCAFEF00Du));
    const ReplyVerdict good = CheckReply(ours.data(), ours.size(), 0xABCD);
    EXPECT_EQ(good.code, 0);
    EXPECT_EQ(good.sequence, 0x0102);
    EXPECT_EQ(good.echoedTimestamp, 0xCAFEF00Du);
    // A reply of exactly header + 8 bytes passes but echoes no time.
    EXPECT_EQ(CheckReply(ours.data(), 28, 0xABCD).code, 0);
    EXPECT_EQ(CheckReply(ours.data(), 28, 0xABCD).echoedTimestamp, 0u);
}

TEST(ReplyCheck, OnlyOurOwnRequestCountsAsItsCopy)
{
    auto copy = Datagram(0x45, EchoMessage(8, 42, 0, 0));
    EXPECT_TRUE(IsReadPast(copy.data(), copy.size(), 42));
    EXPECT_FALSE(IsReadPast(copy.data(), copy.size(), 43));  // another process's request
    EXPECT_FALSE(IsReadPast(copy.data(), 27, 42));
    auto reply = Datagram(0x45, EchoMessage(0, 42, 0, 0));
    EXPECT_FALSE(IsReadPast(reply.data(), reply.size(), 42));
    // Over IPv4 every other message is judged, whatever its type.
    auto other = Datagram(0x45, EchoMessage(135, 42, 0, 0));
    EXPECT_FALSE(IsReadPast(other.data(), other.size(), 42));
}

// The exchange's tests drive the message types one by one; these are the edges of the ranges.
TEST(ReplyCheck, Icmpv6ReadsPastTheInformationalRangeOnly)
{
    const auto v6 = IpFamily::V6;
    for (int type : {130, 255}) {
        auto message = EchoMessage(static_cast<std::uint8_t>(type), 0, 0, 0);
        EXPECT_TRUE(IsReadPast(message.data(), message.size(), 42, v6)) << "type " << type;
    }
    for (int type : {int{kIcmp6EchoReply}, 127}) {
        auto message = EchoMessage(static_cast<std::uint8_t>(type), 42, 0, 0);
        EXPECT_FALSE(IsReadPast(message.data(), message.size(), 42, v6)) << "type " << type;
    }
    auto neighbour = EchoMessage(136, 0, 0, 0);
    EXPECT_FALSE(IsReadPast(neighbour.data(), 7, 42, v6));  // too short to tell: judged, as 11
    // The ICMPv6 reply type means nothing over IPv4.
    auto v4 = Datagram(0x45, EchoMessage(kIcmp6EchoReply, 7, 0, 0));
    EXPECT_EQ(CheckReply(v4.data(), v4.size(), 7).code, 12);
}

TEST(EchoRequest, Icmpv6RequestAndPseudoHeaderChecksum)
{
    std::vector<std::uint8_t> packet(17, 0xCC);
    FillEchoRequest(packet.data(), packet.size(), 0x1234, IpFamily::V6);
    StampEchoRequest(packet.data(), packet.size(), 0x11223344u, IpFamily::V6);
    EXPECT_EQ(packet[0], kIcmp6EchoRequest);
    EXPECT_EQ(packet[1], 0);
    EXPECT_EQ(ReadLe16(packet.data() + 2), 0);  // left for the stack, which knows the source
    EXPECT_EQ(ReadLe16(packet.data() + 4), 0x1234);
    EXPECT_EQ(ReadLe16(packet.data() + 6), 0);
    EXPECT_EQ(ReadLe32(packet.data() + 8), 0x11223344u);
    EXPECT_EQ(packet[16], 0x45);

    // fd42:213:7::1 to fd42:213:7::2, worked out separately in network byte order: 0x1716,
    // which goes on the wire as 17 16.
    std::uint8_t source[16] = {0xfd, 0x42, 0x02, 0x13, 0x00, 0x07};
    std::uint8_t destination[16] = {0xfd, 0x42, 0x02, 0x13, 0x00, 0x07};
    source[15] = 1;
    destination[15] = 2;
    WriteLe16(packet.data() + 2, Icmp6Checksum(source, destination, packet.data(), packet.size()));
    EXPECT_EQ(packet[2], 0x17);
    EXPECT_EQ(packet[3], 0x16);
    // The stored value makes pseudo-header and message sum to all ones, as a receiver checks.
    std::vector<std::uint8_t> whole(source, source + 16);
    whole.insert(whole.end(), destination, destination + 16);
    whole.insert(whole.end(), {0, 0, 0, 17, 0, 0, 0, 58});
    whole.insert(whole.end(), packet.begin(), packet.end());
    EXPECT_EQ(OnesComplementSum(whole), 0xFFFF);
}

TEST(EchoMessages, TextsOfEachCode)
{
    EXPECT_EQ(FailureMessage(1, 10091, ""), "WSAStartup failed: 10091\n");
    EXPECT_EQ(FailureMessage(2, 10013, ""), "WSASocket() failed: 10013\n");
    EXPECT_EQ(FailureMessage(3, 5, ""), "failed to set recv timeout: 5\n");
    EXPECT_EQ(FailureMessage(4, 6, ""), "failed to set send timeout: 6\n");
    EXPECT_EQ(FailureMessage(5, 0, "nowhere.invalid"), "Unable to resolve nowhere.invalid\n");
    EXPECT_EQ(FailureMessage(6, 8, ""), "HeapAlloc failed 8\n");
    EXPECT_EQ(FailureMessage(7, 0, ""), "timed out\n");
    EXPECT_EQ(FailureMessage(8, 10051, ""), "sendto failed: 10051\n");
    EXPECT_EQ(FailureMessage(9, 0, ""), "timed out\n");
    EXPECT_EQ(FailureMessage(10, 10054, ""), "recvfrom failed: 10054\n");
    EXPECT_EQ(FailureMessage(11, 0, "10.0.0.1"), "Too few bytes from 10.0.0.1\n");
    EXPECT_EQ(FailureMessage(12, 3, ""), "non-echo type 3 recvd\n");
    EXPECT_EQ(FailureMessage(13, 0, ""), "someone else's packet!\n");
    EXPECT_EQ(ShortSendMessage(40), "Wrote 40 bytes\n");
    EXPECT_EQ(SuccessMessage(84, "127.0.0.1", 0, 3), "84 bytes from 127.0.0.1\r\n icmp_seq = 0\r\n time: 3 ms ");
    EXPECT_EQ(SuccessMessage(84, "1.2.3.4", 65535, -1), "84 bytes from 1.2.3.4\r\n icmp_seq = 65535\r\n time: -1 ms ");
}

TEST(EchoMessages, LongTextsAreCutToTheMessageBuffer)
{
    const std::string host(400, 'h');
    const std::string text = FailureMessage(5, 0, host);
    EXPECT_EQ(text.size(), kMessageBufferSize - 1);
    EXPECT_EQ(text.rfind("Unable to resolve hhhh", 0), 0u);
    EXPECT_EQ(SuccessMessage(1, std::string(300, 'a'), 1, 1).size(), kMessageBufferSize - 1);
    EXPECT_TRUE(MessagesWanted(1));
    EXPECT_FALSE(MessagesWanted(0));
    EXPECT_FALSE(MessagesWanted(2));
    EXPECT_FALSE(MessagesWanted(-1));
}
