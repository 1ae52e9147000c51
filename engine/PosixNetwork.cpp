// The socket seam over POSIX sockets. Without CAP_NET_RAW the kernel's ICMP datagram
// ("ping") socket stands in for the raw socket.

#include "engine/EchoNetwork.h"
#include "engine/EchoMessages.h"
#include "engine/EchoPacket.h"

#include <arpa/inet.h>
#include <linux/errqueue.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
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

class PosixSocket : public EchoSocket {
public:
    PosixSocket(int fd, bool datagram) : fd_(fd), datagram_(datagram) {}
    ~PosixSocket() override { ::close(fd_); }
    PosixSocket(const PosixSocket&) = delete;
    PosixSocket& operator=(const PosixSocket&) = delete;

    long SetReceiveTimeout(std::uint32_t ms) override { return SetTimeout(SO_RCVTIMEO, ms); }
    long SetSendTimeout(std::uint32_t ms) override { return SetTimeout(SO_SNDTIMEO, ms); }

    IoResult Send(const std::uint8_t* packet, std::size_t length, std::uint32_t address) override
    {
        sockaddr_in target{};
        target.sin_family = AF_INET;
        target.sin_addr.s_addr = address;
        const ssize_t sent =
            ::sendto(fd_, packet, length, 0, reinterpret_cast<const sockaddr*>(&target), sizeof target);
        if (sent < 0)
            return Failure(errno);
        IoResult result;
        result.bytes = static_cast<long>(sent);
        return result;
    }

    IoResult Receive(std::uint8_t* buffer, std::size_t capacity, std::uint32_t& source) override
    {
        return datagram_ ? ReceiveDatagram(buffer, capacity, source) : ReceiveRaw(buffer, capacity, source);
    }

private:
    long SetTimeout(int option, std::uint32_t ms)
    {
        timeval value{};
        value.tv_sec = static_cast<time_t>(ms / 1000);
        value.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
        return ::setsockopt(fd_, SOL_SOCKET, option, &value, sizeof value) == 0 ? 0 : errno;
    }

    IoResult ReceiveRaw(std::uint8_t* buffer, std::size_t capacity, std::uint32_t& source)
    {
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t got =
            ::recvfrom(fd_, buffer, capacity, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (got < 0)
            return Failure(errno);
        source = from.sin_addr.s_addr;
        IoResult result;
        result.bytes = static_cast<long>(got);
        return result;
    }

    // A ping socket hands over the bare ICMP message; a plain IPv4 header is put in front so the
    // exchange checks it like a raw datagram. An ICMP error about our request arrives on the
    // error queue and is handed over as that ICMP message.
    IoResult ReceiveDatagram(std::uint8_t* buffer, std::size_t capacity, std::uint32_t& source)
    {
        if (capacity < kIpHeaderSize + 8)
            return Failure(EMSGSIZE);
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t got = ::recvfrom(fd_, buffer + kIpHeaderSize, capacity - kIpHeaderSize, 0,
                                       reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (got >= 0) {
            source = from.sin_addr.s_addr;
            return Framed(buffer, static_cast<std::size_t>(got), IPPROTO_ICMP);
        }
        const int error = errno;
        if (IsTimeout(error))
            return Failure(error);
        std::uint8_t icmpType = 0;
        std::uint8_t icmpCode = 0;
        if (!ReadIcmpError(source, icmpType, icmpCode))
            return Failure(error);
        std::memset(buffer + kIpHeaderSize, 0, 8);
        buffer[kIpHeaderSize] = icmpType;
        buffer[kIpHeaderSize + 1] = icmpCode;
        return Framed(buffer, 8, IPPROTO_ICMP);
    }

    bool ReadIcmpError(std::uint32_t& source, std::uint8_t& type, std::uint8_t& code)
    {
        std::uint8_t data[64];
        std::uint8_t control[512];
        sockaddr_in from{};
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
            if (item->cmsg_level != SOL_IP || item->cmsg_type != IP_RECVERR)
                continue;
            sock_extended_err error{};
            std::memcpy(&error, CMSG_DATA(item), sizeof error);
            if (error.ee_origin != SO_EE_ORIGIN_ICMP)
                continue;
            sockaddr_in offender{};
            std::memcpy(&offender, SO_EE_OFFENDER(reinterpret_cast<sock_extended_err*>(CMSG_DATA(item))),
                        sizeof offender);
            source = offender.sin_addr.s_addr;
            type = error.ee_type;
            code = error.ee_code;
            return true;
        }
        return false;
    }

    static IoResult Framed(std::uint8_t* buffer, std::size_t icmpLength, std::uint8_t protocol)
    {
        std::memset(buffer, 0, kIpHeaderSize);
        buffer[0] = 0x45;  // version 4, five 32-bit words of header
        buffer[9] = protocol;
        IoResult result;
        result.bytes = static_cast<long>(icmpLength + kIpHeaderSize);
        return result;
    }

    int fd_;
    bool datagram_;
};

class PosixNetwork : public EchoNetwork {
public:
    long StartLayer() override { return 0; }
    void StopLayer() override {}

    std::unique_ptr<EchoSocket> OpenSocket(long& error) override
    {
        const int raw = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (raw >= 0)
            return std::make_unique<PosixSocket>(raw, false);
        error = errno;
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
        const in_addr_t dotted = ::inet_addr(host);
        if (dotted == INADDR_NONE)
            return false;
        address = dotted;
        return true;
    }

    std::string AddressText(std::uint32_t address) override
    {
        char text[INET_ADDRSTRLEN] = {};
        in_addr value{};
        value.s_addr = address;
        ::inet_ntop(AF_INET, &value, text, sizeof text);
        return text;
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

std::unique_ptr<EchoSocket> OpenUnprivilegedSocket(long& error)
{
    const int datagram = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (datagram < 0) {
        error = errno;
        return nullptr;
    }
    // The kernel writes the socket's port into the identifier field; binding to our
    // identifier (as those bytes read) keeps the request as built, and replies find us.
    sockaddr_in local{};
    local.sin_family = AF_INET;
    const auto identifier = static_cast<std::uint16_t>(::getpid() & 0xFFFF);
    std::uint8_t bytes[2];
    WriteLe16(bytes, identifier);
    std::memcpy(&local.sin_port, bytes, sizeof bytes);
    // Another socket may own that port already; the kernel's own choice still works, and
    // replies then carry its identifier, which reads as someone else's packet.
    (void)::bind(datagram, reinterpret_cast<const sockaddr*>(&local), sizeof local);
    const int on = 1;
    ::setsockopt(datagram, SOL_IP, IP_RECVERR, &on, sizeof on);
    return std::make_unique<PosixSocket>(datagram, true);
}

EchoNetwork& SystemNetwork()
{
    static PosixNetwork network;
    return network;
}

}  // namespace tarnel
