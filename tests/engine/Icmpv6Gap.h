#pragma once
// Wine 8 has no ICMPv6 echo at all: its socket layer knows no protocol 58, so a raw ICMPv6
// socket fails with WSAEPROTONOSUPPORT even for root, and its Icmp6CreateFile is a stub that
// fails with ERROR_CALL_NOT_IMPLEMENTED. Windows has both. Where exactly this holds, an IPv6
// case expects the engine's "no socket" (code 2) in place of what it would see on the wire;
// the host text was still resolved, as an unresolvable one gives 5.

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>
#endif

namespace tarnel::test {

inline bool WineLacksIcmpv6()
{
#if defined(_WIN32)
    static const bool lacks = [] {
        if (::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr)
            return false;
        WSADATA data{};
        if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
            return false;
        const SOCKET raw = ::WSASocketA(AF_INET6, SOCK_RAW, IPPROTO_ICMPV6, nullptr, 0, 0);
        const int rawError = ::WSAGetLastError();
        if (raw != INVALID_SOCKET)
            ::closesocket(raw);
        ::WSACleanup();
        const HANDLE service = ::Icmp6CreateFile();
        const DWORD serviceError = ::GetLastError();
        if (service != INVALID_HANDLE_VALUE)
            ::IcmpCloseHandle(service);
        return raw == INVALID_SOCKET && rawError == WSAEPROTONOSUPPORT && service == INVALID_HANDLE_VALUE &&
               serviceError == ERROR_CALL_NOT_IMPLEMENTED;
    }();
    return lacks;
#else
    return false;
#endif
}

// The result code an IPv6 exchange gives here: the one seen on the wire, or 2 under that Wine.
inline int Ipv6Code(int onTheWire)
{
    return WineLacksIcmpv6() ? 2 : onTheWire;
}

}  // namespace tarnel::test
