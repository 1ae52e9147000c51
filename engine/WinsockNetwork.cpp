// The socket seam over Windows Sockets 2. Without administrator rights no raw socket can be
// opened; the IP Helper echo service then stands in for it.

#include "engine/EchoMessages.h"
#include "engine/EchoNetwork.h"
#include "engine/EchoPacket.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace tarnel {

namespace {

constexpr std::size_t kIpHeaderSize = 20;

IoResult SocketFailure(long error)
{
    IoResult result;
    result.failed = true;
    result.timedOut = error == WSAETIMEDOUT;
    result.error = error;
    return result;
}

class RawSocket : public EchoSocket {
public:
    explicit RawSocket(SOCKET socket) : socket_(socket) {}
    ~RawSocket() override { ::closesocket(socket_); }
    RawSocket(const RawSocket&) = delete;
    RawSocket& operator=(const RawSocket&) = delete;

    long SetReceiveTimeout(std::uint32_t ms) override { return SetTimeout(SO_RCVTIMEO, ms); }
    long SetSendTimeout(std::uint32_t ms) override { return SetTimeout(SO_SNDTIMEO, ms); }

    IoResult Send(const std::uint8_t* packet, std::size_t length, std::uint32_t address) override
    {
        sockaddr_in target{};
        target.sin_family = AF_INET;
        target.sin_addr.s_addr = address;
        const int sent = ::sendto(socket_, reinterpret_cast<const char*>(packet), static_cast<int>(length), 0,
                                  reinterpret_cast<const sockaddr*>(&target), sizeof target);
        if (sent == SOCKET_ERROR)
            return SocketFailure(::WSAGetLastError());
        IoResult result;
        result.bytes = sent;
        return result;
    }

    IoResult Receive(std::uint8_t* buffer, std::size_t capacity, std::uint32_t& source) override
    {
        sockaddr_in from{};
        int fromLength = sizeof from;
        const int got = ::recvfrom(socket_, reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0,
                                   reinterpret_cast<sockaddr*>(&from), &fromLength);
        // A datagram larger than the buffer still counts with the part that fits.
        if (got == SOCKET_ERROR) {
            const long error = ::WSAGetLastError();
            if (error != WSAEMSGSIZE)
                return SocketFailure(error);
            source = from.sin_addr.s_addr;
            IoResult cut;
            cut.bytes = static_cast<long>(capacity);
            return cut;
        }
        source = from.sin_addr.s_addr;
        IoResult result;
        result.bytes = got;
        return result;
    }

private:
    long SetTimeout(int option, std::uint32_t ms)
    {
        const DWORD value = ms;
        return ::setsockopt(socket_, SOL_SOCKET, option, reinterpret_cast<const char*>(&value), sizeof value) == 0
                   ? 0
                   : ::WSAGetLastError();
    }

    SOCKET socket_;
};

// The unprivileged echo service sends and waits in one call. Send keeps the request; Receive
// makes the call and hands its outcome over as the datagram a raw socket would have read.
class EchoServiceSocket : public EchoSocket {
public:
    explicit EchoServiceSocket(HANDLE service) : service_(service) {}
    ~EchoServiceSocket() override { ::IcmpCloseHandle(service_); }
    EchoServiceSocket(const EchoServiceSocket&) = delete;
    EchoServiceSocket& operator=(const EchoServiceSocket&) = delete;

    long SetReceiveTimeout(std::uint32_t ms) override
    {
        timeoutMs_ = ms;
        return 0;
    }
    long SetSendTimeout(std::uint32_t) override { return 0; }

    IoResult Send(const std::uint8_t* packet, std::size_t length, std::uint32_t address) override
    {
        request_.assign(packet, packet + length);
        address_ = address;
        IoResult result;
        result.bytes = static_cast<long>(length);
        return result;
    }

    IoResult Receive(std::uint8_t* buffer, std::size_t capacity, std::uint32_t& source) override
    {
        if (request_.size() < kIcmpHeaderSize || capacity < kIpHeaderSize + kIcmpHeaderSize)
            return SocketFailure(WSAEINVAL);
        const std::size_t dataLength = request_.size() - kIcmpHeaderSize;
        std::vector<std::uint8_t> replies(sizeof(ICMP_ECHO_REPLY) + dataLength + 8 + 64);
        const DWORD count = ::IcmpSendEcho(service_, address_, request_.data() + kIcmpHeaderSize,
                                           static_cast<WORD>(dataLength), nullptr, replies.data(),
                                           static_cast<DWORD>(replies.size()), timeoutMs_);
        ULONG status = ::GetLastError();
        const auto* reply = reinterpret_cast<const ICMP_ECHO_REPLY*>(replies.data());
        if (count > 0) {
            status = reply->Status;
            source = reply->Address;
        } else {
            source = address_;
        }
        if (status == IP_REQ_TIMED_OUT)
            return SocketFailure(WSAETIMEDOUT);
        const int icmpType = IcmpTypeOf(status);
        if (icmpType < 0)
            return SocketFailure(static_cast<long>(status));

        std::memset(buffer, 0, kIpHeaderSize + kIcmpHeaderSize);
        buffer[0] = 0x45;
        buffer[9] = IPPROTO_ICMP;
        std::uint8_t* icmp = buffer + kIpHeaderSize;
        if (icmpType != kIcmpEchoReply) {
            icmp[0] = static_cast<std::uint8_t>(icmpType);
            IoResult result;
            result.bytes = static_cast<long>(kIpHeaderSize + 8);
            return result;
        }
        // The service matched the reply to our request, so it carries our header and timestamp.
        std::size_t length = std::min<std::size_t>(request_.size(), capacity - kIpHeaderSize);
        std::memcpy(icmp, request_.data(), length);
        icmp[0] = kIcmpEchoReply;
        IoResult result;
        result.bytes = static_cast<long>(kIpHeaderSize + length);
        return result;
    }

private:
    // The ICMP message behind an IP Helper status; -1 for failures that are not ICMP messages.
    static int IcmpTypeOf(ULONG status)
    {
        switch (status) {
        case IP_SUCCESS: return kIcmpEchoReply;
        case IP_DEST_NET_UNREACHABLE:
        case IP_DEST_HOST_UNREACHABLE:
        case IP_DEST_PROT_UNREACHABLE:
        case IP_DEST_PORT_UNREACHABLE:
        case IP_PACKET_TOO_BIG:
        case IP_BAD_ROUTE: return 3;
        case IP_SOURCE_QUENCH: return 4;
        case IP_TTL_EXPIRED_TRANSIT:
        case IP_TTL_EXPIRED_REASSEM: return 11;
        case IP_PARAM_PROBLEM: return 12;
        default: return -1;
        }
    }

    HANDLE service_;
    std::vector<std::uint8_t> request_;
    IPAddr address_ = 0;
    DWORD timeoutMs_ = kDefaultTimeoutMs;
};

class WinsockNetwork : public EchoNetwork {
public:
    WinsockNetwork()
    {
        LARGE_INTEGER frequency{};
        ::QueryPerformanceFrequency(&frequency);
        frequency_ = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
    }

    long StartLayer() override
    {
        WSADATA data{};
        return ::WSAStartup(MAKEWORD(2, 1), &data);
    }
    void StopLayer() override { ::WSACleanup(); }

    std::unique_ptr<EchoSocket> OpenSocket(long& error) override
    {
        const SOCKET raw = ::WSASocketA(AF_INET, SOCK_RAW, IPPROTO_ICMP, nullptr, 0, WSA_FLAG_OVERLAPPED);
        if (raw != INVALID_SOCKET)
            return std::make_unique<RawSocket>(raw);
        error = ::WSAGetLastError();
        long unused = 0;
        return OpenUnprivilegedSocket(unused);
    }

    bool Resolve(const char* host, std::uint32_t& address) override
    {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        addrinfo* found = nullptr;
        if (::getaddrinfo(host, nullptr, &hints, &found) == 0 && found != nullptr) {
            address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
            ::freeaddrinfo(found);
            return true;
        }
        const unsigned long dotted = ::inet_addr(host);
        if (dotted == INADDR_NONE)
            return false;
        address = dotted;
        return true;
    }

    std::string AddressText(std::uint32_t address) override
    {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&address);
        char text[16];
        wsprintfA(text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
        return text;
    }

    std::uint16_t ProcessIdentifier() override
    {
        return static_cast<std::uint16_t>(::GetCurrentProcessId() & 0xFFFF);
    }

    // The performance counter in milliseconds; the tick count moves in steps of about 15.6 ms.
    std::uint32_t NowMs() override
    {
        LARGE_INTEGER counter{};
        ::QueryPerformanceCounter(&counter);
        const long long whole = counter.QuadPart / frequency_;
        const long long part = counter.QuadPart % frequency_;
        return static_cast<std::uint32_t>(whole * 1000 + part * 1000 / frequency_);
    }

    void ShowMessage(const std::string& text) override
    {
        ::MessageBoxA(nullptr, text.c_str(), kMessageCaption, MB_OK);
    }

private:
    long long frequency_ = 1;
};

}  // namespace

std::unique_ptr<EchoSocket> OpenUnprivilegedSocket(long& error)
{
    const HANDLE service = ::IcmpCreateFile();
    if (service == INVALID_HANDLE_VALUE) {
        error = static_cast<long>(::GetLastError());
        return nullptr;
    }
    return std::make_unique<EchoServiceSocket>(service);
}

EchoNetwork& SystemNetwork()
{
    static WinsockNetwork network;
    return network;
}

}  // namespace tarnel
