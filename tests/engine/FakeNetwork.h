#pragma once
// A scripted stand-in for the platform socket seam, so every step and result code of the
// exchange can be driven and observed without the network.

#include "engine/EchoNetwork.h"
#include "engine/EchoPacket.h"
#include "engine/ResultText.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

namespace tarnel::test {

struct ScriptedReceive {
    IoResult result;
    std::vector<std::uint8_t> datagram;
    EchoAddress source = EchoAddress::Ipv4(0x0100007F);  // 127.0.0.1
    std::uint32_t takesMs = 0;          // the fake clock moves on by this much
    bool echoSent = false;              // deliver what was sent, with echoType as its type
    std::uint8_t echoType = 0;
};

class FakeNetwork : public EchoNetwork {
public:
    // Script
    long startError = 0;
    bool socketAvailable = true;
    bool ipv6SocketAvailable = true;
    long openError = 10013;
    long receiveTimeoutError = 0;
    long sendTimeoutError = 0;
    bool resolves = true;
    EchoAddress resolvedAddress = EchoAddress::Ipv4(0x0200000A);  // 10.0.0.2
    IoResult sendResult;        // bytes < 0 means "all of it"
    std::deque<ScriptedReceive> receives;
    std::uint32_t clock = 1000;
    std::uint16_t identifier = 0x4321;

    // Observations
    int layerStarts = 0;
    int layerStops = 0;
    int socketsOpen = 0;
    std::vector<IpFamily> socketFamilies;  // of every socket asked for, in order
    int resolveCalls = 0;
    int connectCalls = 0;
    std::vector<std::uint8_t> sentPacket;
    EchoAddress sentAddress;
    std::vector<std::uint32_t> receiveTimeouts;
    std::vector<std::string> messages;

    FakeNetwork() { sendResult.bytes = -1; }

    long StartLayer() override
    {
        if (startError != 0)
            return startError;
        ++layerStarts;
        return 0;
    }
    void StopLayer() override { ++layerStops; }
    std::unique_ptr<EchoSocket> OpenSocket(IpFamily family, long& error) override
    {
        socketFamilies.push_back(family);
        if (!(family == IpFamily::V6 ? ipv6SocketAvailable : socketAvailable)) {
            error = openError;
            return nullptr;
        }
        return std::make_unique<Socket>(*this, family);
    }
    bool Resolve(const char*, EchoAddress& address) override
    {
        ++resolveCalls;
        address = resolvedAddress;
        return resolves;
    }
    std::string AddressText(const EchoAddress& address) override
    {
        const std::uint32_t v4 = address.v4;
        if (address.family == IpFamily::V4)
            return std::to_string(v4 & 0xFF) + "." + std::to_string((v4 >> 8) & 0xFF) + "." +
                   std::to_string((v4 >> 16) & 0xFF) + "." + std::to_string(v4 >> 24);
        std::string text;  // every group written out, which is all a test needs to tell them apart
        for (std::size_t i = 0; i < 16; i += 2) {
            char group[8];
            std::snprintf(group, sizeof group, i ? ":%x" : "%x", (address.v6[i] << 8) | address.v6[i + 1]);
            text += group;
        }
        return address.scopeId ? text + "%" + std::to_string(address.scopeId) : text;
    }
    std::uint16_t ProcessIdentifier() override { return identifier; }
    std::uint32_t NowMs() override { return clock; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::unique_ptr<StreamSocket> Connect(const EchoAddress&, std::uint16_t, std::uint32_t, int& failureCode,
                                          long& error) override
    {
        ++connectCalls;
        failureCode = kConnectionRefused;  // there is nothing to connect to
        error = 0;
        return nullptr;
    }

    // A reply echoing what was sent, as a raw socket delivers it (over IPv4 behind an IP
    // header, over ICMPv6 bare), with the ICMP type given.
    static std::vector<std::uint8_t> EchoOf(const std::vector<std::uint8_t>& sent, std::uint8_t type,
                                            IpFamily family = IpFamily::V4)
    {
        const std::size_t header = family == IpFamily::V4 ? 20 : 0;
        std::vector<std::uint8_t> datagram(header + sent.size(), 0);
        if (header != 0)
            datagram[0] = 0x45;
        std::copy(sent.begin(), sent.end(), datagram.begin() + static_cast<long>(header));
        if (!sent.empty())
            datagram[header] = type;
        return datagram;
    }

private:
    class Socket : public EchoSocket {
    public:
        Socket(FakeNetwork& network, IpFamily family) : network_(network), family_(family)
        {
            ++network_.socketsOpen;
        }
        ~Socket() override { --network_.socketsOpen; }
        long SetReceiveTimeout(std::uint32_t ms) override
        {
            network_.receiveTimeouts.push_back(ms);
            return network_.receiveTimeoutError;
        }
        long SetSendTimeout(std::uint32_t) override { return network_.sendTimeoutError; }
        IoResult Send(const std::uint8_t* packet, std::size_t length, const EchoAddress& address) override
        {
            network_.sentPacket.assign(packet, packet + length);
            network_.sentAddress = address;
            IoResult result = network_.sendResult;
            if (!result.failed && result.bytes < 0)
                result.bytes = static_cast<long>(length);
            return result;
        }
        IoResult Receive(std::uint8_t* buffer, std::size_t capacity, EchoAddress& source) override
        {
            if (network_.receives.empty()) {
                IoResult timedOut;
                timedOut.failed = timedOut.timedOut = true;
                return timedOut;
            }
            ScriptedReceive next = network_.receives.front();
            network_.receives.pop_front();
            network_.clock += next.takesMs;
            if (next.result.failed)
                return next.result;
            // An echo of what was sent can only be built now, after the send.
            const std::vector<std::uint8_t> data =
                next.echoSent ? EchoOf(network_.sentPacket, next.echoType, family_) : next.datagram;
            const std::size_t length = data.size() < capacity ? data.size() : capacity;
            std::copy(data.begin(), data.begin() + static_cast<long>(length), buffer);
            source = next.source;
            IoResult result;
            result.bytes = static_cast<long>(length);
            return result;
        }

    private:
        FakeNetwork& network_;
        IpFamily family_;
    };
};

}  // namespace tarnel::test
