#pragma once
// A scripted stand-in for the platform socket seam, so every step and result code of the
// exchange can be driven and observed without the network.

#include "engine/EchoNetwork.h"
#include "engine/EchoPacket.h"

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace tarnel::test {

struct ScriptedReceive {
    IoResult result;
    std::vector<std::uint8_t> datagram;
    std::uint32_t source = 0x0100007F;  // 127.0.0.1
    std::uint32_t takesMs = 0;          // the fake clock moves on by this much
    bool echoSent = false;              // deliver what was sent, with echoType as its type
    std::uint8_t echoType = 0;
};

class FakeNetwork : public EchoNetwork {
public:
    // Script
    long startError = 0;
    bool socketAvailable = true;
    long openError = 10013;
    long receiveTimeoutError = 0;
    long sendTimeoutError = 0;
    bool resolves = true;
    std::uint32_t resolvedAddress = 0x0200000A;  // 10.0.0.2
    IoResult sendResult;        // bytes < 0 means "all of it"
    std::deque<ScriptedReceive> receives;
    std::uint32_t clock = 1000;
    std::uint16_t identifier = 0x4321;

    // Observations
    int layerStarts = 0;
    int layerStops = 0;
    int socketsOpen = 0;
    int resolveCalls = 0;
    std::vector<std::uint8_t> sentPacket;
    std::uint32_t sentAddress = 0;
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
    std::unique_ptr<EchoSocket> OpenSocket(long& error) override
    {
        if (!socketAvailable) {
            error = openError;
            return nullptr;
        }
        return std::make_unique<Socket>(*this);
    }
    bool Resolve(const char*, std::uint32_t& address) override
    {
        ++resolveCalls;
        address = resolvedAddress;
        return resolves;
    }
    std::string AddressText(std::uint32_t address) override
    {
        return std::to_string(address & 0xFF) + "." + std::to_string((address >> 8) & 0xFF) + "." +
               std::to_string((address >> 16) & 0xFF) + "." + std::to_string(address >> 24);
    }
    std::uint16_t ProcessIdentifier() override { return identifier; }
    std::uint32_t NowMs() override { return clock; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }

    // A reply echoing what was sent, as a raw socket delivers it, with the ICMP type given.
    static std::vector<std::uint8_t> EchoOf(const std::vector<std::uint8_t>& sent, std::uint8_t type)
    {
        std::vector<std::uint8_t> datagram(20 + sent.size(), 0);
        datagram[0] = 0x45;
        std::copy(sent.begin(), sent.end(), datagram.begin() + 20);
        if (!sent.empty())
            datagram[20] = type;
        return datagram;
    }

private:
    class Socket : public EchoSocket {
    public:
        explicit Socket(FakeNetwork& network) : network_(network) { ++network_.socketsOpen; }
        ~Socket() override { --network_.socketsOpen; }
        long SetReceiveTimeout(std::uint32_t ms) override
        {
            network_.receiveTimeouts.push_back(ms);
            return network_.receiveTimeoutError;
        }
        long SetSendTimeout(std::uint32_t) override { return network_.sendTimeoutError; }
        IoResult Send(const std::uint8_t* packet, std::size_t length, std::uint32_t address) override
        {
            network_.sentPacket.assign(packet, packet + length);
            network_.sentAddress = address;
            IoResult result = network_.sendResult;
            if (!result.failed && result.bytes < 0)
                result.bytes = static_cast<long>(length);
            return result;
        }
        IoResult Receive(std::uint8_t* buffer, std::size_t capacity, std::uint32_t& source) override
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
                next.echoSent ? EchoOf(network_.sentPacket, next.echoType) : next.datagram;
            const std::size_t length = data.size() < capacity ? data.size() : capacity;
            std::copy(data.begin(), data.begin() + static_cast<long>(length), buffer);
            source = next.source;
            IoResult result;
            result.bytes = static_cast<long>(length);
            return result;
        }

    private:
        FakeNetwork& network_;
    };
};

}  // namespace tarnel::test
