#include "engine/SocketAddress.h"

#if !defined(_WIN32)
#include <arpa/inet.h>
#include <netdb.h>
#endif

#include <algorithm>
#include <cstring>

namespace tarnel {

int ToSocketAddress(const EchoAddress& address, sockaddr_storage& storage, std::uint16_t port)
{
    storage = {};
    if (address.family == IpFamily::V6) {
        auto& target = reinterpret_cast<sockaddr_in6&>(storage);
        target.sin6_family = AF_INET6;
        target.sin6_port = htons(port);
        std::memcpy(&target.sin6_addr, address.v6.data(), address.v6.size());
        target.sin6_scope_id = address.scopeId;
        return static_cast<int>(sizeof target);
    }
    auto& target = reinterpret_cast<sockaddr_in&>(storage);
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = address.v4;
    return static_cast<int>(sizeof target);
}

EchoAddress FromSocketAddress(const sockaddr_storage& storage)
{
    if (storage.ss_family == AF_INET6) {
        const auto& source = reinterpret_cast<const sockaddr_in6&>(storage);
        std::array<std::uint8_t, 16> bytes{};
        std::memcpy(bytes.data(), &source.sin6_addr, bytes.size());
        return EchoAddress::Ipv6(bytes, source.sin6_scope_id);
    }
    return EchoAddress::Ipv4(reinterpret_cast<const sockaddr_in&>(storage).sin_addr.s_addr);
}

namespace {

// The system's lookup restricted to one family; with numericOnly, only an address written as
// such, never a query.
bool LookUp(const char* text, int family, bool numericOnly, EchoAddress& address)
{
    addrinfo hints{};
    hints.ai_family = family;
    hints.ai_flags = numericOnly ? AI_NUMERICHOST : 0;
    addrinfo* found = nullptr;
    if (::getaddrinfo(text, nullptr, &hints, &found) != 0 || found == nullptr)
        return false;
    sockaddr_storage storage{};
    std::memcpy(&storage, found->ai_addr, std::min<std::size_t>(found->ai_addrlen, sizeof storage));
    ::freeaddrinfo(found);
    if (storage.ss_family != family)
        return false;
    address = FromSocketAddress(storage);
    return true;
}

// An IPv6 address as written, also in the brackets of a URL ("[fe80::1%2]").
bool ReadIpv6Literal(const char* host, EchoAddress& address)
{
    std::string text = host;
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']')
        text = text.substr(1, text.size() - 2);
    return LookUp(text.c_str(), AF_INET6, true, address);
}

// "::ffff:a.b.c.d" names an IPv4 host; an ICMPv6 request could never reach it.
void UnmapIpv4(EchoAddress& address)
{
    static constexpr std::uint8_t kMappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    if (address.family != IpFamily::V6 || std::memcmp(address.v6.data(), kMappedPrefix, 12) != 0)
        return;
    std::uint32_t v4 = 0;
    std::memcpy(&v4, address.v6.data() + 12, sizeof v4);
    address = EchoAddress::Ipv4(v4);
}

}  // namespace

bool ResolveHost(const char* host, EchoAddress& address)
{
    // An IPv6 address is read first: the name lookups would only take it for a name.
    if (ReadIpv6Literal(host, address)) {
        UnmapIpv4(address);
        return true;
    }
    if (LookUp(host, AF_INET, false, address))
        return true;
    const unsigned long dotted = ::inet_addr(host);
    if (dotted != INADDR_NONE) {
        address = EchoAddress::Ipv4(static_cast<std::uint32_t>(dotted));
        return true;
    }
    // Only a name without any IPv4 address is asked for IPv6 ones, so IPv4 hosts resolve
    // exactly as they always have, with no second query.
    return LookUp(host, AF_INET6, false, address);
}

std::string AddressToText(const EchoAddress& address)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (address.family == IpFamily::V4) {
        in_addr value{};
        value.s_addr = address.v4;
        ::inet_ntop(AF_INET, &value, text, sizeof text);
        return text;
    }
    in6_addr value{};
    std::memcpy(&value, address.v6.data(), address.v6.size());
    ::inet_ntop(AF_INET6, &value, text, sizeof text);
    std::string result = text;
    if (address.scopeId != 0)
        result += "%" + std::to_string(address.scopeId);
    return result;
}

}  // namespace tarnel
