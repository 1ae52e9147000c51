#pragma once
// The computer's way out as its routing table shows it: the default route the system itself
// would take, and the router it leads to. Read afresh each time it is asked for and never kept,
// since a laptop changes networks.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace corvale {

enum class RouteFamily { Ipv4, Ipv6 };

// One row of the routing table, with what is known of its interface.
struct RouteEntry {
    RouteFamily family = RouteFamily::Ipv4;
    int prefixLength = 0;                    // 0 for a default route
    std::array<std::uint8_t, 16> nextHop{};  // IPv4 in the first four bytes; all zero: on the link itself
    std::uint32_t interfaceIndex = 0;        // the zone of a link-local IPv6 next hop
    std::uint32_t routeMetric = 0;
    std::uint32_t interfaceMetric = 0;       // the system adds the two to rank routes
    bool interfaceUp = false;
    bool loopback = false;                   // the route or its interface stays inside the computer
};

struct DefaultRoute {
    enum class Kind {
        Unknown,    // the routing table could not be read
        None,       // no default route on an interface that is up, loopback aside
        OnLink,     // the default route has no router (a point-to-point link): there is none to ask
        ViaRouter,  // through `router`
    };
    Kind kind = Kind::Unknown;
    std::string router;  // its address as the engine takes it, with "%zone" when link-local
    bool operator==(const DefaultRoute&) const = default;
};

// The default route with the lowest metric among those of `family` on interfaces that are up;
// the other family's when `family` has none, since a network of one family is still a network.
DefaultRoute ChooseDefaultRoute(std::span<const RouteEntry> routes, RouteFamily family);

// The family whose router to ask: IPv6 when every address the failed sites were tried at is an
// IPv6 one, IPv4 otherwise. Empty texts (the name did not resolve) are passed over.
RouteFamily FamilyOfAddresses(std::span<const std::string_view> addresses);

// "192.168.1.1", "fd00::1", "fe80::1%12".
std::string NextHopText(const RouteEntry& route);

// Windows: the system's routing table read now, through IP Helper loaded from the system folder.
DefaultRoute ReadDefaultRoute(RouteFamily family);

}  // namespace corvale
