// The socket seam over Windows Sockets 2. Without administrator rights no raw socket can be
// opened; the IP Helper echo service then stands in for it. IP Helper is not one of the system's
// known DLLs, so it is loaded from the system folder when first needed, never imported.

#include "engine/EchoMessages.h"
#include "engine/EchoNetwork.h"
#include "engine/EchoPacket.h"
#include "engine/SocketAddress.h"
#include "engine/SystemLibrary.h"
#include "engine/TcpConnection.h"
#include "engine/WinHttpCheck.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace tarnel {

namespace {

constexpr std::size_t kIpHeaderSize = 20;

// IP Helper's echo service, bound at run time.
struct EchoService {
    decltype(&::IcmpCreateFile) createFile = nullptr;
    decltype(&::Icmp6CreateFile) create6File = nullptr;
    decltype(&::IcmpCloseHandle) closeHandle = nullptr;
    decltype(&::IcmpSendEcho) sendEcho = nullptr;
    decltype(&::Icmp6SendEcho2) send6Echo = nullptr;
    DWORD error = 0;  // why it is not there

    bool Complete() const { return createFile && create6File && closeHandle && sendEcho && send6Echo; }
};

EchoService BindEchoService(const SystemLibrary& library)
{
    EchoService bound;
    bound.createFile = library.Find<decltype(bound.createFile)>("IcmpCreateFile");
    bound.create6File = library.Find<decltype(bound.create6File)>("Icmp6CreateFile");
    bound.closeHandle = library.Find<decltype(bound.closeHandle)>("IcmpCloseHandle");
    bound.sendEcho = library.Find<decltype(bound.sendEcho)>("IcmpSendEcho");
    bound.send6Echo = library.Find<decltype(bound.send6Echo)>("Icmp6SendEcho2");
    bound.error = !library.Loaded() ? library.Error() : bound.Complete() ? 0 : ERROR_PROC_NOT_FOUND;
    return bound;
}

const EchoService& IpHelper()
{
    // Loaded once and never freed: freeing it as the engine unloads would run under the loader's lock.
    static const SystemLibrary& library = *new SystemLibrary(L"iphlpapi.dll");
    static const EchoService service = BindEchoService(library);
    return service;
}

IoResult SocketFailure(long error)
{
    IoResult result;
    result.failed = true;
    result.timedOut = error == WSAETIMEDOUT;
    result.error = error;
    return result;
}

IoResult Moved(std::size_t bytes)
{
    IoResult result;
    result.bytes = static_cast<long>(bytes);
    return result;
}

class RawSocket : public EchoSocket {
public:
    RawSocket(SOCKET socket, IpFamily family) : socket_(socket), family_(family) {}
    ~RawSocket() override { ::closesocket(socket_); }
    RawSocket(const RawSocket&) = delete;
    RawSocket& operator=(const RawSocket&) = delete;

    long SetReceiveTimeout(std::uint32_t ms) override { return SetTimeout(SO_RCVTIMEO, ms); }
    long SetSendTimeout(std::uint32_t ms) override { return SetTimeout(SO_SNDTIMEO, ms); }

    IoResult Send(const std::uint8_t* packet, std::size_t length, const EchoAddress& address) override
    {
        sockaddr_storage target{};
        const int targetLength = ToSocketAddress(address, target);
        std::vector<std::uint8_t> message(packet, packet + length);
        if (family_ == IpFamily::V6)
            StampChecksum(message, target);
        const int sent = ::sendto(socket_, reinterpret_cast<const char*>(message.data()), static_cast<int>(length), 0,
                                  reinterpret_cast<const sockaddr*>(&target), targetLength);
        if (sent == SOCKET_ERROR)
            return SocketFailure(::WSAGetLastError());
        return Moved(static_cast<std::size_t>(sent));
    }

    IoResult Receive(std::uint8_t* buffer, std::size_t capacity, EchoAddress& source) override
    {
        sockaddr_storage from{};
        int fromLength = sizeof from;
        const int got = ::recvfrom(socket_, reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0,
                                   reinterpret_cast<sockaddr*>(&from), &fromLength);
        // A datagram larger than the buffer still counts with the part that fits.
        if (got == SOCKET_ERROR) {
            const long error = ::WSAGetLastError();
            if (error != WSAEMSGSIZE)
                return SocketFailure(error);
            source = FromSocketAddress(from);
            return Moved(capacity);
        }
        source = FromSocketAddress(from);
        return Moved(static_cast<std::size_t>(got));
    }

private:
    long SetTimeout(int option, std::uint32_t ms)
    {
        const DWORD value = ms;
        return ::setsockopt(socket_, SOL_SOCKET, option, reinterpret_cast<const char*>(&value), sizeof value) == 0
                   ? 0
                   : ::WSAGetLastError();
    }

    // The ICMPv6 checksum covers the source address the route will pick. Windows stacks have not
    // always filled it for raw sockets, so it is written here; a stack that fills it anyway
    // overwrites a correct value with the same one. Without a route the send fails on its own.
    void StampChecksum(std::vector<std::uint8_t>& message, const sockaddr_storage& target)
    {
        sockaddr_storage local{};
        DWORD got = 0;
        if (::WSAIoctl(socket_, SIO_ROUTING_INTERFACE_QUERY, const_cast<sockaddr_storage*>(&target),
                       sizeof(sockaddr_in6), &local, sizeof local, &got, nullptr, nullptr) != 0 ||
            message.size() < 4)
            return;
        const EchoAddress source = FromSocketAddress(local);
        const EchoAddress destination = FromSocketAddress(target);
        WriteLe16(message.data() + 2, 0);
        WriteLe16(message.data() + 2,
                  Icmp6Checksum(source.v6.data(), destination.v6.data(), message.data(), message.size()));
    }

    SOCKET socket_;
    IpFamily family_;
};

// The reply record Icmp6SendEcho2 writes (ICMPV6_ECHO_REPLY, which MinGW's headers lack). The
// address in front is packed to 26 bytes in the SDK's header but not in MinGW's, so it is not
// read: an echo reply comes from the address asked.
struct Icmp6EchoReply {
    std::uint8_t address[26];
    ULONG status;
    unsigned int roundTripTime;
};
static_assert(offsetof(Icmp6EchoReply, status) == 28, "ICMPV6_ECHO_REPLY layout");

// The ICMP message behind an IP Helper status of IcmpSendEcho; -1 for failures that are not
// ICMP messages.
int IcmpTypeOf(ULONG status)
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

// The same for Icmp6SendEcho2, in ICMPv6 types.
int Icmp6TypeOf(ULONG status)
{
    switch (status) {
    case IP_SUCCESS: return kIcmp6EchoReply;
    case IP_DEST_NO_ROUTE:
    case IP_DEST_ADDR_UNREACHABLE:
    case IP_DEST_PROHIBITED:
    case IP_DEST_PORT_UNREACHABLE:
    case IP_BAD_ROUTE:
    case IP_DEST_UNREACHABLE:
    case IP_DEST_SCOPE_MISMATCH: return 1;
    case IP_PACKET_TOO_BIG: return 2;
    case IP_HOP_LIMIT_EXCEEDED:
    case IP_REASSEMBLY_TIME_EXCEEDED:
    case IP_TIME_EXCEEDED: return 3;
    case IP_PARAMETER_PROBLEM:
    case IP_BAD_HEADER:
    case IP_UNRECOGNIZED_NEXT_HEADER: return 4;
    default: return -1;
    }
}

// The unprivileged echo service sends and waits in one call. Send keeps the request; Receive
// makes the call and hands its outcome over as the datagram a raw socket would have read.
class EchoServiceSocket : public EchoSocket {
public:
    EchoServiceSocket(HANDLE service, IpFamily family) : service_(service), family_(family) {}
    ~EchoServiceSocket() override { IpHelper().closeHandle(service_); }
    EchoServiceSocket(const EchoServiceSocket&) = delete;
    EchoServiceSocket& operator=(const EchoServiceSocket&) = delete;

    long SetReceiveTimeout(std::uint32_t ms) override
    {
        timeoutMs_ = ms;
        return 0;
    }
    long SetSendTimeout(std::uint32_t) override { return 0; }

    IoResult Send(const std::uint8_t* packet, std::size_t length, const EchoAddress& address) override
    {
        request_.assign(packet, packet + length);
        address_ = address;
        return Moved(length);
    }

    IoResult Receive(std::uint8_t* buffer, std::size_t capacity, EchoAddress& source) override
    {
        const bool v6 = family_ == IpFamily::V6;
        const std::size_t framing = v6 ? 0 : kIpHeaderSize;
        if (request_.size() < kIcmpHeaderSize || capacity < framing + kIcmpHeaderSize)
            return SocketFailure(WSAEINVAL);
        source = address_;
        const ULONG status = v6 ? Echo6() : Echo4(source);
        if (status == IP_REQ_TIMED_OUT)
            return SocketFailure(WSAETIMEDOUT);
        const int icmpType = v6 ? Icmp6TypeOf(status) : IcmpTypeOf(status);
        if (icmpType < 0)
            return SocketFailure(static_cast<long>(status));

        std::memset(buffer, 0, framing + kIcmpHeaderSize);
        if (!v6) {
            buffer[0] = 0x45;
            buffer[9] = IPPROTO_ICMP;
        }
        std::uint8_t* icmp = buffer + framing;
        if (icmpType != (v6 ? kIcmp6EchoReply : kIcmpEchoReply)) {
            icmp[0] = static_cast<std::uint8_t>(icmpType);
            return Moved(framing + 8);
        }
        // The service matched the reply to our request, so it carries our header and timestamp.
        const std::size_t length = std::min<std::size_t>(request_.size(), capacity - framing);
        std::memcpy(icmp, request_.data(), length);
        icmp[0] = static_cast<std::uint8_t>(icmpType);
        return Moved(framing + length);
    }

private:
    std::vector<std::uint8_t> ReplyBuffer(std::size_t recordSize) const
    {
        // The record, the echoed data, the 8 bytes of an ICMP error and the service's own status.
        return std::vector<std::uint8_t>(recordSize + request_.size() - kIcmpHeaderSize + 8 + 64);
    }

    // One exchange over IPv4; the status of the reply, or of the failure.
    ULONG Echo4(EchoAddress& source)
    {
        std::vector<std::uint8_t> replies = ReplyBuffer(sizeof(ICMP_ECHO_REPLY));
        const DWORD count = IpHelper().sendEcho(service_, address_.v4, request_.data() + kIcmpHeaderSize,
                                                static_cast<WORD>(request_.size() - kIcmpHeaderSize), nullptr,
                                                replies.data(), static_cast<DWORD>(replies.size()), timeoutMs_);
        if (count == 0)
            return ::GetLastError();
        const auto* reply = reinterpret_cast<const ICMP_ECHO_REPLY*>(replies.data());
        source = EchoAddress::Ipv4(reply->Address);
        return reply->Status;
    }

    ULONG Echo6()
    {
        std::vector<std::uint8_t> replies = ReplyBuffer(sizeof(Icmp6EchoReply));
        sockaddr_storage target{};
        ToSocketAddress(address_, target);
        sockaddr_in6 anySource{};
        anySource.sin6_family = AF_INET6;
        const DWORD count = IpHelper().send6Echo(service_, nullptr, nullptr, nullptr, &anySource,
                                                 reinterpret_cast<sockaddr_in6*>(&target),
                                                 request_.data() + kIcmpHeaderSize,
                                                 static_cast<WORD>(request_.size() - kIcmpHeaderSize), nullptr,
                                                 replies.data(), static_cast<DWORD>(replies.size()), timeoutMs_);
        if (count == 0)
            return ::GetLastError();
        Icmp6EchoReply reply{};
        std::memcpy(&reply, replies.data(), sizeof reply);
        return reply.status;
    }

    HANDLE service_;
    IpFamily family_;
    std::vector<std::uint8_t> request_;
    EchoAddress address_;
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

    std::unique_ptr<EchoSocket> OpenSocket(IpFamily family, long& error) override
    {
        const bool v6 = family == IpFamily::V6;
        const SOCKET raw = ::WSASocketA(v6 ? AF_INET6 : AF_INET, SOCK_RAW, v6 ? IPPROTO_ICMPV6 : IPPROTO_ICMP,
                                        nullptr, 0, WSA_FLAG_OVERLAPPED);
        if (raw != INVALID_SOCKET)
            return std::make_unique<RawSocket>(raw, family);
        error = ::WSAGetLastError();
        long unused = 0;
        return OpenUnprivilegedSocket(family, unused);
    }

    bool Resolve(const char* host, EchoAddress& address) override { return ResolveHost(host, address); }
    std::string AddressText(const EchoAddress& address) override { return AddressToText(address); }

    std::unique_ptr<StreamSocket> Connect(const EchoAddress& address, std::uint16_t port, std::uint32_t timeoutMs,
                                          int& failureCode, long& error) override
    {
        return ConnectTcp(address, port, timeoutMs, failureCode, error);
    }

    CheckOutcome WebCheck(const SiteTarget& target, std::uint32_t timeoutMs) override
    {
        return WinHttpCheck(*this, target, timeoutMs);
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

std::unique_ptr<EchoSocket> OpenUnprivilegedSocket(IpFamily family, long& error)
{
    const EchoService& helper = IpHelper();
    if (!helper.Complete()) {
        error = static_cast<long>(helper.error);
        return nullptr;
    }
    const HANDLE service = family == IpFamily::V6 ? helper.create6File() : helper.createFile();
    if (service == INVALID_HANDLE_VALUE) {
        error = static_cast<long>(::GetLastError());
        return nullptr;
    }
    return std::make_unique<EchoServiceSocket>(service, family);
}

EchoNetwork& SystemNetwork()
{
    static WinsockNetwork network;
    return network;
}

}  // namespace tarnel
