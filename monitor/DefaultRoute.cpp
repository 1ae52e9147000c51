#include "monitor/DefaultRoute.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace corvale {
namespace {

bool OnTheLink(const RouteEntry& route) {
    const std::size_t bytes = route.family == RouteFamily::Ipv4 ? 4 : 16;
    return std::all_of(route.nextHop.begin(), route.nextHop.begin() + static_cast<std::ptrdiff_t>(bytes),
                       [](std::uint8_t byte) { return byte == 0; });
}

std::uint64_t Metric(const RouteEntry& route) {
    return std::uint64_t{route.routeMetric} + route.interfaceMetric;
}

// The lowest metric's default route of one family; the first of equals, as the table lists them.
std::optional<RouteEntry> Lowest(std::span<const RouteEntry> routes, RouteFamily family) {
    std::optional<RouteEntry> lowest;
    for (const RouteEntry& route : routes) {
        if (route.family != family || route.prefixLength != 0 || !route.interfaceUp || route.loopback) continue;
        if (!lowest || Metric(route) < Metric(*lowest)) lowest = route;
    }
    return lowest;
}

// Groups of four hexadecimal digits without leading zeros, the longest run of two or more zero
// groups (the first of equals) written as "::".
std::string Ipv6Text(const std::array<std::uint8_t, 16>& bytes) {
    std::array<unsigned, 8> groups{};
    for (std::size_t i = 0; i < 8; ++i) groups[i] = unsigned{bytes[2 * i]} << 8 | bytes[2 * i + 1];
    std::size_t runStart = 8, runLength = 0;
    for (std::size_t i = 0; i < 8;) {
        std::size_t end = i;
        while (end < 8 && groups[end] == 0) ++end;
        if (end - i > runLength && end - i >= 2) runStart = i, runLength = end - i;
        i = end == i ? i + 1 : end;
    }
    std::string text;
    for (std::size_t i = 0; i < 8; ++i) {
        if (i == runStart) {
            text += "::";
            i += runLength - 1;
            continue;
        }
        if (!text.empty() && text.back() != ':') text += ':';
        char group[8];
        std::snprintf(group, sizeof group, "%x", groups[i]);
        text += group;
    }
    return text;
}

}  // namespace

std::string NextHopText(const RouteEntry& route) {
    const auto& b = route.nextHop;
    if (route.family == RouteFamily::Ipv4)
        return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." + std::to_string(b[3]);
    std::string text = Ipv6Text(b);
    // A link-local router is only reached through its link.
    if (b[0] == 0xfe && (b[1] & 0xc0) == 0x80) text.append("%").append(std::to_string(route.interfaceIndex));
    return text;
}

DefaultRoute ChooseDefaultRoute(std::span<const RouteEntry> routes, RouteFamily family) {
    const RouteFamily other = family == RouteFamily::Ipv4 ? RouteFamily::Ipv6 : RouteFamily::Ipv4;
    std::optional<RouteEntry> chosen = Lowest(routes, family);
    if (!chosen) chosen = Lowest(routes, other);
    if (!chosen) return {DefaultRoute::Kind::None, {}};
    if (OnTheLink(*chosen)) return {DefaultRoute::Kind::OnLink, {}};
    return {DefaultRoute::Kind::ViaRouter, NextHopText(*chosen)};
}

RouteFamily FamilyOfAddresses(std::span<const std::string_view> addresses) {
    bool any = false;
    for (std::string_view address : addresses) {
        if (address.empty()) continue;
        if (address.find(':') == std::string_view::npos) return RouteFamily::Ipv4;
        any = true;
    }
    return any ? RouteFamily::Ipv6 : RouteFamily::Ipv4;
}

}  // namespace corvale
