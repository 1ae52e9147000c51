// The socket seam over POSIX sockets. Without CAP_NET_RAW the kernel's ICMP and ICMPv6 datagram
// ("ping") sockets stand in for the raw sockets.

#include "engine/EchoMessages.h"
#include "engine/EchoNetwork.h"
#include "engine/EchoPacket.h"
#include "engine/SocketAddress.h"
#include "engine/TcpConnection.h"

#include <linux/errqueue.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace tarnel {

namespace {

constexpr std::size_t kIpHeaderSize = 20;

bool IsTimeout(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK || error == ETIMEDOUT;
}

IoResult Failure(int error)
{
    IoResult result;
    result.failed = true;
    result.timedOut = IsTimeout(error);
    result.error = error;
    return result;
}

IoResult Moved(std::size_t bytes)
{
    IoResult result;
    result.bytes = static_cast<long>(bytes);
    return result;
}

class PosixSocket : public EchoSocket {
public:
    PosixSocket(int fd, IpFamily family, bool datagram) : fd_(fd), family_(family), datagram_(datagram) {}
    ~PosixSocket() override { ::close(fd_); }
    PosixSocket(const PosixSocket&) = delete;
    PosixSocket& operator=(const PosixSocket&) = delete;

    long SetReceiveTimeout(std::uint32_t ms) override { return SetTimeout(SO_RCVTIMEO, ms); }
    long SetSendTimeout(std::uint32_t ms) override { return SetTimeout(SO_SNDTIMEO, ms); }

    IoResult Send(const std::uint8_t* packet, std::size_t length, const EchoAddress& address) override
    {
        sockaddr_storage target{};
        const int targetLength = ToSocketAddress(address, target);
        const ssize_t sent = ::sendto(fd_, packet, length, 0, reinterpret_cast<const sockaddr*>(&target),
                                      static_cast<socklen_t>(targetLength));
        return sent < 0 ? Failure(errno) : Moved(static_cast<std::size_t>(sent));
    }

    IoResult Receive(std::uint8_t* buffer, std::size_t capacity, EchoAddress& source) override
    {
        // Over IPv4 a ping socket hands over the bare ICMP message; a plain IPv4 header is put
        // in front so the exchange checks it like a raw datagram. ICMPv6 never has one.
        const std::size_t framing = datagram_ && family_ == IpFamily::V4 ? kIpHeaderSize : 0;
        if (capacity < framing + 8)
            return Failure(EMSGSIZE);
        sockaddr_storage from{};
        socklen_t fromLength = sizeof from;
        const ssize_t got = ::recvfrom(fd_, buffer + framing, capacity - framing, 0,
                                       reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (got >= 0) {
            source = FromSocketAddress(from);
            return Framed(buffer, framing, static_cast<std::size_t>(got));
        }
        const int error = errno;
        if (!datagram_ || IsTimeout(error))
            return Failure(error);
        // An ICMP error about our request arrives on a ping socket's error queue; it is handed
        // over as that ICMP message.
        std::uint8_t icmpType = 0;
        std::uint8_t icmpCode = 0;
        if (!ReadIcmpError(source, icmpType, icmpCode))
            return Failure(error);
        std::memset(buffer + framing, 0, 8);
        buffer[framing] = icmpType;
        buffer[framing + 1] = icmpCode;
        return Framed(buffer, framing, 8);
    }

private:
    long SetTimeout(int option, std::uint32_t ms)
    {
        timeval value{};
        value.tv_sec = static_cast<time_t>(ms / 1000);
        value.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
        return ::setsockopt(fd_, SOL_SOCKET, option, &value, sizeof value) == 0 ? 0 : errno;
    }

    bool ReadIcmpError(EchoAddress& source, std::uint8_t& type, std::uint8_t& code)
    {
        const bool v6 = family_ == IpFamily::V6;
        std::uint8_t data[64];
        std::uint8_t control[512];
        sockaddr_storage from{};
        iovec io{data, sizeof data};
        msghdr message{};
        message.msg_name = &from;
        message.msg_namelen = sizeof from;
        message.msg_iov = &io;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        if (::recvmsg(fd_, &message, MSG_ERRQUEUE | MSG_DONTWAIT) < 0)
            return false;
        for (cmsghdr* item = CMSG_FIRSTHDR(&message); item != nullptr; item = CMSG_NXTHDR(&message, item)) {
            const int level = v6 ? SOL_IPV6 : SOL_IP;
            const int kind = v6 ? int{IPV6_RECVERR} : int{IP_RECVERR};
            if (item->cmsg_level != level || item->cmsg_type != kind)
                continue;
            sock_extended_err error{};
            std::memcpy(&error, CMSG_DATA(item), sizeof error);
            if (error.ee_origin != (v6 ? int{SO_EE_ORIGIN_ICMP6} : int{SO_EE_ORIGIN_ICMP}))
                continue;
            sockaddr_storage offender{};
            std::memcpy(&offender, SO_EE_OFFENDER(reinterpret_cast<sock_extended_err*>(CMSG_DATA(item))),
                        v6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in));
            source = FromSocketAddress(offender);
            type = error.ee_type;
            code = error.ee_code;
            return true;
        }
        return false;
    }

    static IoResult Framed(std::uint8_t* buffer, std::size_t framing, std::size_t icmpLength)
    {
        if (framing != 0) {
            std::memset(buffer, 0, framing);
            buffer[0] = 0x45;  // version 4, five 32-bit words of header
            buffer[9] = IPPROTO_ICMP;
        }
        return Moved(icmpLength + framing);
    }

    int fd_;
    IpFamily family_;
    bool datagram_;
};

int SocketFamily(IpFamily family)
{
    return family == IpFamily::V6 ? AF_INET6 : AF_INET;
}

int IcmpProtocol(IpFamily family)
{
    return family == IpFamily::V6 ? int{IPPROTO_ICMPV6} : int{IPPROTO_ICMP};
}

class PosixNetwork : public EchoNetwork {
public:
    long StartLayer() override { return 0; }
    void StopLayer() override {}

    std::unique_ptr<EchoSocket> OpenSocket(IpFamily family, long& error) override
    {
        const int raw = ::socket(SocketFamily(family), SOCK_RAW | SOCK_CLOEXEC, IcmpProtocol(family));
        if (raw >= 0)
            return std::make_unique<PosixSocket>(raw, family, false);
        error = errno;
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

    std::uint16_t ProcessIdentifier() override { return static_cast<std::uint16_t>(::getpid() & 0xFFFF); }

    std::uint32_t NowMs() override
    {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                          static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
    }

    // There is no message box here; the same text goes to standard error.
    void ShowMessage(const std::string& text) override
    {
        std::fprintf(stderr, "%s: %s\n", kMessageCaption, text.c_str());
    }
};

}  // namespace

std::unique_ptr<EchoSocket> OpenUnprivilegedSocket(IpFamily family, long& error)
{
    const int datagram = ::socket(SocketFamily(family), SOCK_DGRAM | SOCK_CLOEXEC, IcmpProtocol(family));
    if (datagram < 0) {
        error = errno;
        return nullptr;
    }
    // The kernel writes the socket's port into the identifier field; binding to our
    // identifier (as those bytes read) keeps the request as built, and replies find us.
    const auto identifier = static_cast<std::uint16_t>(::getpid() & 0xFFFF);
    std::uint8_t port[2];
    WriteLe16(port, identifier);
    sockaddr_storage local{};
    const int localLength = ToSocketAddress(family == IpFamily::V6 ? EchoAddress::Ipv6({}) : EchoAddress{}, local);
    std::memcpy(family == IpFamily::V6 ? &reinterpret_cast<sockaddr_in6&>(local).sin6_port
                                       : &reinterpret_cast<sockaddr_in&>(local).sin_port,
                port, sizeof port);
    // Another socket may own that port already; the kernel's own choice still works, and
    // replies then carry its identifier, which reads as someone else's packet.
    (void)::bind(datagram, reinterpret_cast<const sockaddr*>(&local), static_cast<socklen_t>(localLength));
    const int on = 1;
    if (family == IpFamily::V6)
        ::setsockopt(datagram, SOL_IPV6, IPV6_RECVERR, &on, sizeof on);
    else
        ::setsockopt(datagram, SOL_IP, IP_RECVERR, &on, sizeof on);
    return std::make_unique<PosixSocket>(datagram, family, true);
}

EchoNetwork& SystemNetwork()
{
    static PosixNetwork network;
    return network;
}

}  // namespace tarnel
