#include "engine/TcpConnection.h"

#include "engine/ResultText.h"
#include "engine/SocketAddress.h"

#if defined(_WIN32)
#include <mstcpip.h>
#else
#include <cerrno>
#include <poll.h>
#include <unistd.h>
#endif

namespace tarnel {

namespace {

// The few places where the two socket layers differ.
#if defined(_WIN32)
using NativeSocket = SOCKET;
constexpr NativeSocket kNoNativeSocket = INVALID_SOCKET;
constexpr long kInProgress = WSAEWOULDBLOCK;
constexpr long kWouldBlock = WSAEWOULDBLOCK;
constexpr long kRefused = WSAECONNREFUSED;
constexpr long kTimedOutError = WSAETIMEDOUT;
constexpr int kSendFlags = 0;

long LastError() { return ::WSAGetLastError(); }
void CloseNative(NativeSocket socket) { ::closesocket(socket); }
bool IsUnreachable(long error) { return error == WSAEHOSTUNREACH || error == WSAENETUNREACH; }

NativeSocket OpenNative(int family)
{
    const NativeSocket socket = ::socket(family, SOCK_STREAM, IPPROTO_TCP);
    u_long nonBlocking = 1;
    if (socket != INVALID_SOCKET && ::ioctlsocket(socket, FIONBIO, &nonBlocking) != 0) {
        ::closesocket(socket);
        return INVALID_SOCKET;
    }
    // Windows sends a SYN again even after a reset, so a closed port would take seconds to be
    // told; one SYN, as one echo request, tells it at once. Windows 8 on; elsewhere it is ignored.
    TCP_INITIAL_RTO_PARAMETERS rto{TCP_INITIAL_RTO_UNSPECIFIED_RTT, TCP_INITIAL_RTO_NO_SYN_RETRANSMISSIONS};
    DWORD returned = 0;
    if (socket != INVALID_SOCKET)
        ::WSAIoctl(socket, SIO_TCP_INITIAL_RTO, &rto, sizeof rto, nullptr, 0, &returned, nullptr, nullptr);
    return socket;
}

// 1 ready, 0 timed out, -1 failed. A failed connect shows in the exception set, not as writable.
int Wait(NativeSocket socket, bool forWrite, std::uint32_t timeoutMs)
{
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(socket, &ready);
    FD_SET(socket, &failed);
    timeval timeout{static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
    const int count = ::select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr, &failed, &timeout);
    return count < 0 ? -1 : count == 0 ? 0 : 1;
}
#else
using NativeSocket = int;
constexpr NativeSocket kNoNativeSocket = -1;
constexpr long kInProgress = EINPROGRESS;
constexpr long kWouldBlock = EAGAIN;
constexpr long kRefused = ECONNREFUSED;
constexpr long kTimedOutError = ETIMEDOUT;
constexpr int kSendFlags = MSG_NOSIGNAL;

long LastError() { return errno; }
void CloseNative(NativeSocket socket) { ::close(socket); }
bool IsUnreachable(long error) { return error == EHOSTUNREACH || error == ENETUNREACH || error == EHOSTDOWN; }

NativeSocket OpenNative(int family)
{
    return ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

int Wait(NativeSocket socket, bool forWrite, std::uint32_t timeoutMs)
{
    pollfd entry{socket, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
    int count = 0;
    do {
        count = ::poll(&entry, 1, static_cast<int>(timeoutMs));
    } while (count < 0 && errno == EINTR);
    return count < 0 ? -1 : count == 0 ? 0 : 1;
}
#endif

IoResult Failed(long error, bool timedOut = false)
{
    IoResult result;
    result.failed = true;
    result.timedOut = timedOut;
    result.error = error;
    return result;
}

class TcpSocket : public StreamSocket {
public:
    explicit TcpSocket(NativeSocket socket) : socket_(socket) {}
    ~TcpSocket() override { CloseNative(socket_); }
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    IoResult Send(const std::uint8_t* data, std::size_t length, std::uint32_t timeoutMs) override
    {
        return Move(true, timeoutMs, [&] {
            return ::send(socket_, reinterpret_cast<const char*>(data), static_cast<int>(length), kSendFlags);
        });
    }

    IoResult Receive(std::uint8_t* buffer, std::size_t capacity, std::uint32_t timeoutMs) override
    {
        return Move(false, timeoutMs,
                    [&] { return ::recv(socket_, reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0); });
    }

private:
    // Waits until the socket is ready, then makes the one call.
    template <typename Call>
    IoResult Move(bool forWrite, std::uint32_t timeoutMs, Call call)
    {
        const int ready = Wait(socket_, forWrite, timeoutMs);
        if (ready <= 0)
            return ready == 0 ? Failed(kTimedOutError, true) : Failed(LastError());
        const auto moved = call();
        if (moved < 0) {
            const long error = LastError();
            return Failed(error, error == kWouldBlock);
        }
        IoResult result;
        result.bytes = static_cast<long>(moved);
        return result;
    }

    NativeSocket socket_;
};

int ConnectFailure(long error)
{
    if (error == kRefused)
        return kConnectionRefused;
    if (IsUnreachable(error))
        return kHostUnreachable;
    return error == kTimedOutError ? kConnectTimedOut : kConnectFailed;
}

}  // namespace

std::unique_ptr<StreamSocket> ConnectTcp(const EchoAddress& address, std::uint16_t port, std::uint32_t timeoutMs,
                                         int& failureCode, long& error)
{
    sockaddr_storage target{};
    const int targetLength = ToSocketAddress(address, target, port);
    const NativeSocket native = OpenNative(target.ss_family);
    if (native == kNoNativeSocket) {
        error = LastError();
        failureCode = kNoSocket;
        return nullptr;
    }
    auto socket = std::make_unique<TcpSocket>(native);
    if (::connect(native, reinterpret_cast<const sockaddr*>(&target), targetLength) == 0)
        return socket;
    error = LastError();
    if (error != kInProgress) {
        failureCode = ConnectFailure(error);
        return nullptr;
    }
    const int ready = Wait(native, true, timeoutMs);
    if (ready <= 0) {
        error = ready == 0 ? 0 : LastError();
        failureCode = ready == 0 ? kConnectTimedOut : kConnectFailed;
        return nullptr;
    }
    int pending = 0;
    socklen_t length = sizeof pending;
    if (::getsockopt(native, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&pending), &length) != 0)
        pending = static_cast<int>(LastError());
    error = pending;
    if (pending == 0)
        return socket;
    failureCode = ConnectFailure(pending);
    return nullptr;
}

}  // namespace tarnel
