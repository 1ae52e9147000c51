#include "FakeNetwork.h"

#include "engine/EchoPacket.h"
#include "engine/IcmpEcho.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using namespace tarnel;
using tarnel::test::FakeNetwork;
using tarnel::test::ScriptedReceive;

namespace {

EchoRequest Request(const char* host = "site.example", std::uint32_t payload = 64, std::uint32_t timeout = 2000,
                    std::int32_t show = 0)
{
    EchoRequest request;
    SetRequestHost(request, host);
    request.payloadSize = payload;
    request.timeoutMs = timeout;
    request.showMessages = show;
    return request;
}

ScriptedReceive Echo(std::uint32_t takesMs = 0, std::uint8_t type = kIcmpEchoReply)
{
    ScriptedReceive receive;
    receive.echoSent = true;
    receive.echoType = type;
    receive.takesMs = takesMs;
    return receive;
}

ScriptedReceive Failure(bool timedOut, long error = 0)
{
    ScriptedReceive receive;
    receive.result.failed = true;
    receive.result.timedOut = timedOut;
    receive.result.error = error;
    return receive;
}

// Every exit must give back exactly what it obtained.
void ExpectReleased(const FakeNetwork& network)
{
    EXPECT_EQ(network.socketsOpen, 0);
    EXPECT_EQ(network.layerStops, network.layerStarts);
}

}  // namespace

TEST(IcmpEcho, ReplyGivesRoundTripAcrossClockWrap)
{
    FakeNetwork network;
    network.clock = 0xFFFFFFF0u;  // the 32-bit millisecond clock wraps during the exchange
    network.receives.push_back(Echo(37));
    const EchoResult result = IcmpEcho(network, Request("10.0.0.2", 64, 2000, 1));
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.roundTripMs, 37);
    EXPECT_EQ(network.sentPacket.size(), 76u);
    EXPECT_EQ(network.sentAddress, network.resolvedAddress);
    EXPECT_EQ(ReadLe16(network.sentPacket.data() + 4), network.identifier);
    ASSERT_EQ(network.messages.size(), 1u);
    EXPECT_EQ(network.messages[0], "96 bytes from 127.0.0.1\r\n icmp_seq = 0\r\n time: 37 ms ");
    ExpectReleased(network);
}

TEST(IcmpEcho, PayloadBoundsShapeThePacketSent)
{
    for (auto [asked, length] : {std::pair{0u, 44u}, {1024u, 1036u}, {1013u, 1025u}, {1025u, 44u}}) {
        FakeNetwork network;
        network.receives.push_back(Echo());
        EXPECT_EQ(IcmpEcho(network, Request("h", asked)).code, 0);
        EXPECT_EQ(network.sentPacket.size(), length) << "payload " << asked;
        EXPECT_EQ(network.sentPacket.back(), 0x45);
    }
}

TEST(IcmpEcho, TimeoutBoundsReachTheSocket)
{
    for (auto [asked, used] : {std::pair{499u, 2000u}, {500u, 500u}, {20000u, 20000u}, {20001u, 2000u}}) {
        FakeNetwork network;
        network.receives.push_back(Echo());
        IcmpEcho(network, Request("h", 64, asked));
        ASSERT_FALSE(network.receiveTimeouts.empty());
        EXPECT_EQ(network.receiveTimeouts.front(), used) << "timeout " << asked;
    }
}

TEST(IcmpEcho, SetUpFailuresGiveTheirCodesAndReleaseWhatWasTaken)
{
    {
        FakeNetwork network;
        network.startError = 10091;
        EXPECT_EQ(IcmpEcho(network, Request("h", 64, 2000, 1)).code, 1);
        EXPECT_EQ(network.layerStops, 0);  // nothing was started, nothing is ended
        EXPECT_EQ(network.messages.at(0), "WSAStartup failed: 10091\n");
    }
    {
        FakeNetwork network;
        network.socketAvailable = false;
        EXPECT_EQ(IcmpEcho(network, Request("h", 64, 2000, 1)).code, 2);
        EXPECT_EQ(network.messages.at(0), "WSASocket() failed: 10013\n");
        ExpectReleased(network);
    }
    {
        FakeNetwork network;
        network.receiveTimeoutError = 22;
        EXPECT_EQ(IcmpEcho(network, Request()).code, 3);
        ExpectReleased(network);
    }
    {
        FakeNetwork network;
        network.sendTimeoutError = 22;
        EXPECT_EQ(IcmpEcho(network, Request()).code, 4);
        ExpectReleased(network);
    }
}

TEST(IcmpEcho, UnresolvableAndOverlongHostsGiveFive)
{
    FakeNetwork network;
    network.resolves = false;
    const EchoResult result = IcmpEcho(network, Request("nowhere.invalid", 64, 2000, 1));
    EXPECT_EQ(result.code, 5);
    EXPECT_EQ(result.roundTripMs, 0);
    EXPECT_EQ(network.messages.at(0), "Unable to resolve nowhere.invalid\n");
    EXPECT_TRUE(network.sentPacket.empty());
    ExpectReleased(network);

    // A text longer than the buffer is never looked up cut short into another name.
    FakeNetwork longHost;
    const std::string host = std::string(199, 'a') + ".example";
    EchoRequest request = Request(host.c_str(), 64, 2000, 1);
    EXPECT_TRUE(request.hostTooLong);
    EXPECT_EQ(IcmpEcho(longHost, request).code, 5);
    EXPECT_EQ(longHost.resolveCalls, 0);
    EXPECT_EQ(longHost.messages.at(0).size(), 199u);
    ExpectReleased(longHost);

    EchoRequest fits = Request(std::string(199, 'b').c_str());
    EXPECT_FALSE(fits.hostTooLong);
    EXPECT_EQ(std::string(fits.host).size(), 199u);
    EchoRequest none = Request(nullptr);
    EXPECT_STREQ(none.host, "");
}

TEST(IcmpEcho, SendFailures)
{
    FakeNetwork timedOut;
    timedOut.sendResult.failed = timedOut.sendResult.timedOut = true;
    EXPECT_EQ(IcmpEcho(timedOut, Request()).code, 7);
    ExpectReleased(timedOut);

    FakeNetwork refused;
    refused.sendResult.failed = true;
    refused.sendResult.error = 10051;
    EXPECT_EQ(IcmpEcho(refused, Request("h", 64, 2000, 1)).code, 8);
    EXPECT_EQ(refused.messages.at(0), "sendto failed: 10051\n");

    // A short send is told about and the exchange goes on.
    FakeNetwork shortSend;
    shortSend.sendResult.bytes = 40;
    shortSend.receives.push_back(Echo(3));
    const EchoResult result = IcmpEcho(shortSend, Request("h", 64, 2000, 1));
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(shortSend.messages.at(0), "Wrote 40 bytes\n");
}

TEST(IcmpEcho, ReceiveFailuresAndTheFirstDatagramDecides)
{
    FakeNetwork silent;
    silent.receives.push_back(Failure(true));
    EXPECT_EQ(IcmpEcho(silent, Request()).code, 9);
    ExpectReleased(silent);

    FakeNetwork broken;
    broken.receives.push_back(Failure(false, 10054));
    EXPECT_EQ(IcmpEcho(broken, Request()).code, 10);

    FakeNetwork tooShort;
    ScriptedReceive stub;
    stub.datagram = {0x45, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    stub.source = EchoAddress::Ipv4(0x0807060A);
    tooShort.receives.push_back(stub);
    EchoRequest loud = Request("h", 64, 2000, 1);
    EXPECT_EQ(IcmpEcho(tooShort, loud).code, 11);
    EXPECT_EQ(tooShort.messages.at(0), "Too few bytes from 10.6.7.8\n");

    // An error report first ends the exchange even though the real reply follows.
    FakeNetwork report;
    report.receives.push_back(Echo(0, 3));
    report.receives.push_back(Echo());
    EXPECT_EQ(IcmpEcho(report, loud).code, 12);
    EXPECT_EQ(report.messages.at(0), "non-echo type 3 recvd\n");

    FakeNetwork foreign;
    ScriptedReceive theirs;
    theirs.datagram = FakeNetwork::EchoOf(std::vector<std::uint8_t>(76, 0x45), kIcmpEchoReply);
    WriteLe16(theirs.datagram.data() + 24, 0x1234);
    foreign.receives.push_back(theirs);
    const EchoResult result = IcmpEcho(foreign, Request());
    EXPECT_EQ(result.code, 13);
    EXPECT_EQ(result.roundTripMs, 0);
}

TEST(IcmpEcho, OwnRequestCopyIsSkippedWithinTheSameTimeout)
{
    FakeNetwork network;
    network.receives.push_back(Echo(300, kIcmpEchoRequest));  // the stack's copy of our request
    network.receives.push_back(Echo(2));
    const EchoResult result = IcmpEcho(network, Request("h", 64, 1000));
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.roundTripMs, 302);
    ASSERT_EQ(network.receiveTimeouts.size(), 2u);
    EXPECT_EQ(network.receiveTimeouts[1], 700u);  // only what is left of the timeout

    // A copy that arrives after the whole timeout has passed ends as a timeout.
    FakeNetwork late;
    late.receives.push_back(Echo(1000, kIcmpEchoRequest));
    late.receives.push_back(Echo());
    EXPECT_EQ(IcmpEcho(late, Request("h", 64, 1000)).code, 9);

    // Another process's request is not our copy: judged as it stands.
    FakeNetwork foreignRequest;
    ScriptedReceive theirs;
    theirs.datagram = FakeNetwork::EchoOf(std::vector<std::uint8_t>(76, 0x45), kIcmpEchoRequest);
    WriteLe16(theirs.datagram.data() + 24, 0x1111);
    foreignRequest.receives.push_back(theirs);
    EXPECT_EQ(IcmpEcho(foreignRequest, Request()).code, 12);
}

TEST(IcmpEcho, OnlyExactlyOneShowsMessages)
{
    for (std::int32_t show : {0, 2, -1}) {
        FakeNetwork network;
        network.resolves = false;
        IcmpEcho(network, Request("x", 64, 2000, show));
        network.receives.push_back(Echo());
        network.resolves = true;
        IcmpEcho(network, Request("x", 64, 2000, show));
        EXPECT_TRUE(network.messages.empty()) << "show " << show;
    }
}

namespace {

// fd42:213:7::last, as the test network numbers its IPv6 hosts.
EchoAddress Ula(std::uint8_t last, std::uint32_t scope = 0)
{
    std::array<std::uint8_t, 16> bytes{0xfd, 0x42, 0x02, 0x13, 0x00, 0x07};
    bytes[15] = last;
    return EchoAddress::Ipv6(bytes, scope);
}

ScriptedReceive Message(std::vector<std::uint8_t> bytes, std::uint32_t takesMs = 0)
{
    ScriptedReceive receive;
    receive.datagram = std::move(bytes);
    receive.source = Ula(2);
    receive.takesMs = takesMs;
    return receive;
}

}  // namespace

TEST(IcmpEcho6, Ipv6HostIsPingedOverIcmpv6)
{
    FakeNetwork network;
    network.resolvedAddress = Ula(2, 3);
    network.receives.push_back(Echo(12, kIcmp6EchoReply));
    network.receives.back().source = Ula(2);
    const EchoResult result = IcmpEcho(network, Request("fd42:213:7::2", 64, 2000, 1));
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.roundTripMs, 12);
    // The IPv4 socket comes first as ever; the ICMPv6 one takes its place, with both timeouts.
    EXPECT_EQ(network.socketFamilies, (std::vector<IpFamily>{IpFamily::V4, IpFamily::V6}));
    EXPECT_EQ(network.receiveTimeouts, (std::vector<std::uint32_t>{2000, 2000}));
    EXPECT_EQ(network.sentAddress, network.resolvedAddress);
    const std::vector<std::uint8_t>& sent = network.sentPacket;
    ASSERT_EQ(sent.size(), 76u);
    EXPECT_EQ(sent[0], kIcmp6EchoRequest);
    EXPECT_EQ(ReadLe16(sent.data() + 2), 0);  // the stack fills the checksum
    EXPECT_EQ(ReadLe16(sent.data() + 4), network.identifier);
    EXPECT_EQ(ReadLe16(sent.data() + 6), 0);
    EXPECT_EQ(ReadLe32(sent.data() + 8), 1000u);
    EXPECT_EQ(sent.back(), 0x45);
    // No IP header in front: the bytes received are the message's.
    ASSERT_EQ(network.messages.size(), 1u);
    EXPECT_EQ(network.messages[0], "76 bytes from fd42:213:7:0:0:0:0:2\r\n icmp_seq = 0\r\n time: 12 ms ");
    ExpectReleased(network);
}

TEST(IcmpEcho6, RepliesAreJudgedAsIcmpv6)
{
    auto reply = [](std::uint8_t type, std::uint16_t identifier, std::size_t length = 76) {
        std::vector<std::uint8_t> message(length, 0x45);
        message[0] = type;
        if (length >= 6)
            WriteLe16(message.data() + 4, identifier);
        return message;
    };
    const std::uint16_t ours = FakeNetwork().identifier;
    struct Case {
        const char* what;
        std::vector<ScriptedReceive> receives;
        int code;
        const char* message;
    } cases[] = {
        {"unreachable", {Message(reply(1, ours))}, 12, "non-echo type 1 recvd\n"},
        {"time exceeded", {Message(reply(3, ours))}, 12, "non-echo type 3 recvd\n"},
        {"packet too big", {Message(reply(2, ours))}, 12, "non-echo type 2 recvd\n"},
        {"ICMPv4 reply type", {Message(reply(kIcmpEchoReply, ours))}, 12, "non-echo type 0 recvd\n"},
        {"another identifier", {Message(reply(kIcmp6EchoReply, ours ^ 0x5AA5))}, 13, "someone else's packet!\n"},
        {"seven bytes", {Message(reply(kIcmp6EchoReply, ours, 7))}, 11, "Too few bytes from fd42:213:7:0:0:0:0:2\n"},
        {"eight bytes", {Message(reply(kIcmp6EchoReply, ours, 8))}, 0, nullptr},
        // Neighbour discovery and our own request copy are read past; the next message decides.
        {"neighbour traffic first", {Message(reply(136, 0), 3), Message(reply(135, 0)), Echo(4, kIcmp6EchoReply)}, 0,
         nullptr},
        {"own copy, then a report", {Echo(0, kIcmp6EchoRequest), Message(reply(1, ours))}, 12, nullptr},
        {"another's request", {Message(reply(kIcmp6EchoRequest, ours ^ 1))}, 12, nullptr},
        {"only traffic until the timeout", {Message(reply(143, 0), 1500), Message(reply(136, 0), 600)}, 9, nullptr},
    };
    for (const Case& c : cases) {
        FakeNetwork network;
        network.resolvedAddress = Ula(2);
        network.receives.assign(c.receives.begin(), c.receives.end());
        const EchoResult result = IcmpEcho(network, Request("h", 64, 2000, c.message ? 1 : 0));
        EXPECT_EQ(result.code, c.code) << c.what;
        if (c.message != nullptr) {
            EXPECT_EQ(network.messages.at(0), c.message) << c.what;
        }
        ExpectReleased(network);
    }
}

TEST(IcmpEcho6, FailuresBeforeTheSendKeepTheirCodes)
{
    // No ICMPv6 socket: code 2 with the raw attempt's error, and the IPv4 socket is given back.
    FakeNetwork noSocket;
    noSocket.resolvedAddress = Ula(2);
    noSocket.ipv6SocketAvailable = false;
    EXPECT_EQ(IcmpEcho(noSocket, Request("fd42:213:7::2", 64, 2000, 1)).code, 2);
    EXPECT_EQ(noSocket.messages.at(0), "WSASocket() failed: 10013\n");
    EXPECT_TRUE(noSocket.sentPacket.empty());
    ExpectReleased(noSocket);

    // An IPv4 host never opens an ICMPv6 socket; an unresolvable one opens nothing more.
    for (bool resolves : {true, false}) {
        FakeNetwork network;
        network.resolves = resolves;
        network.ipv6SocketAvailable = false;
        network.receives.push_back(Echo());
        EXPECT_EQ(IcmpEcho(network, Request()).code, resolves ? 0 : 5);
        EXPECT_EQ(network.socketFamilies, std::vector<IpFamily>{IpFamily::V4});
    }
}
