// Any datagrams as the replies to one echo request, IPv4 or IPv6: truncated packets, header
// lengths that lie, error messages quoting a request, replies to another process, datagrams
// larger than the reply buffer. Each is judged on its own, then the whole exchange runs on them.
//
// Input: one byte of settings (bit 0: IPv6, bit 1: messages on), then datagrams, each as a
// two-byte little-endian length, one byte of milliseconds it takes to arrive, and its bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/EchoMessages.h"
#include "engine/IcmpEcho.h"
#include "tests/engine/FakeNetwork.h"

namespace {

using namespace tarnel;

void Require(bool condition) {
    if (!condition) std::abort();
}

// A datagram judged alone: a verdict the exchange knows, and a valid reply only where the
// message lies wholly inside it with the reply type and our identifier.
void JudgeAlone(const std::vector<std::uint8_t>& datagram, std::uint16_t identifier, IpFamily family) {
    const ReplyVerdict verdict = CheckReply(datagram.data(), datagram.size(), identifier, family);
    Require(verdict.code == 0 || verdict.code == 11 || verdict.code == 12 || verdict.code == 13);
    const std::size_t offset = family == IpFamily::V6 ? 0 : datagram.empty() ? 1 : (datagram[0] & 0x0F) * 4u;
    if (verdict.code == 0) {
        Require(datagram.size() >= offset + 8);
        Require(datagram[offset] == (family == IpFamily::V6 ? kIcmp6EchoReply : kIcmpEchoReply));
        Require(ReadLe16(datagram.data() + offset + 4) == identifier);
    }
    // What the exchange reads past is never taken for the reply.
    if (IsReadPast(datagram.data(), datagram.size(), identifier, family)) Require(verdict.code == 12);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const IpFamily family = (data[0] & 1) ? IpFamily::V6 : IpFamily::V4;
    test::FakeNetwork network;
    if (family == IpFamily::V6) network.resolvedAddress = EchoAddress::Ipv6({0xfd, 0x42, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2});

    std::size_t at = 1;
    while (at + 3 <= size) {
        const std::size_t declared = data[at] | (data[at + 1] << 8);
        test::ScriptedReceive receive;
        receive.takesMs = data[at + 2];
        at += 3;
        const std::size_t length = declared < size - at ? declared : size - at;
        receive.datagram.assign(data + at, data + at + length);
        at += length;
        JudgeAlone(receive.datagram, network.identifier, family);
        network.receives.push_back(receive);
    }
    const std::size_t offered = network.receives.size();

    EchoRequest request;
    SetRequestHost(request, family == IpFamily::V6 ? "fd42::2" : "10.0.0.2");
    request.payloadSize = 64;
    request.timeoutMs = 2000;
    request.showMessages = (data[0] & 2) ? 1 : 0;
    const EchoResult result = IcmpEcho(network, request);

    const int code = result.code;
    Require(code == 0 || code == 9 || code == 11 || code == 12 || code == 13);
    Require(code == 0 || result.roundTripMs == 0);
    // Only what arrived in time was read: the one that decided, or everything when none did.
    Require(network.receives.size() <= offered);
    Require(code != 9 || network.receives.empty() || network.clock - 1000 >= 2000);
    for (const std::uint32_t ms : network.receiveTimeouts) Require(ms > 0 && ms <= request.timeoutMs);
    Require(network.socketsOpen == 0 && network.layerStops == network.layerStarts);
    for (const std::string& message : network.messages) Require(message.size() < kMessageBufferSize);
    return 0;
}
