#include <gtest/gtest.h>

#include <vector>

#include "engine/ResultText.h"
#include "monitor/ConnectionVerdict.h"

namespace corvale {
namespace {

using Kind = ConnectionVerdict::Kind;

RouteEntry Route(RouteFamily family, int prefix, std::array<std::uint8_t, 16> hop, std::uint32_t metric,
                 std::uint32_t interfaceMetric, bool up = true, bool loopback = false) {
    return {family, prefix, hop, 7, metric, interfaceMetric, up, loopback};
}

TEST(ConnectionVerdict, FirstThatHoldsInOrder) {
    const DefaultRoute none{DefaultRoute::Kind::None, {}};
    const DefaultRoute router{DefaultRoute::Kind::ViaRouter, "192.168.1.1"};
    const std::vector<std::int32_t> namesOnly{tarnel::kHostNotFound, tarnel::kHostNotFound};
    const std::vector<std::int32_t> mixed{tarnel::kHostNotFound, tarnel::kTimedOut};

    // No route comes before a silent router, which comes before names that do not resolve.
    EXPECT_EQ(JudgeConnection(none, false, namesOnly).kind, Kind::NoNetwork);
    EXPECT_EQ(JudgeConnection(router, false, namesOnly), (ConnectionVerdict{Kind::RouterSilent, "192.168.1.1"}));
    EXPECT_EQ(JudgeConnection(router, true, namesOnly).kind, Kind::NamesUnresolved);
    EXPECT_EQ(JudgeConnection(router, true, mixed).kind, Kind::BeyondRouter);
    EXPECT_EQ(JudgeConnection(router, true, {}).kind, Kind::BeyondRouter);
    // A route with no router to ask, or a table that could not be read, tells nothing.
    EXPECT_EQ(JudgeConnection({DefaultRoute::Kind::OnLink, {}}, true, namesOnly).kind, Kind::Undetermined);
    EXPECT_EQ(JudgeConnection({}, false, mixed).kind, Kind::Undetermined);

    const ConnectionVerdict beyond = JudgeConnection(router, true, mixed);
    EXPECT_EQ(VerdictNotice(beyond), "No site answers; your router (192.168.1.1) answers: the connection beyond it is down");
    EXPECT_EQ(VerdictStateLine(beyond), "No site answers: router answers, connection beyond it down");
    EXPECT_EQ(VerdictCause(beyond), "beyond router");
    EXPECT_EQ(VerdictNotice(JudgeConnection(router, false, mixed)),
              "No site answers, nor does your router (192.168.1.1): the local network is down");
    EXPECT_EQ(VerdictNotice({}), "No site answers: the connection may be down");
    EXPECT_EQ(VerdictStateLine({}), "");
}

TEST(DefaultRoute, LowestMetricOfAnUpInterfaceLoopbackAside) {
    constexpr auto v4 = RouteFamily::Ipv4, v6 = RouteFamily::Ipv6;
    const std::vector<RouteEntry> routes{
        Route(v4, 24, {10, 0, 0, 9}, 0, 0),                    // not a default route
        Route(v4, 0, {10, 0, 0, 1}, 0, 50),                    // 50 in all
        Route(v4, 0, {192, 168, 1, 1}, 40, 5),                 // 45: the lowest
        Route(v4, 0, {172, 16, 0, 1}, 0, 1, false),            // its interface is down
        Route(v4, 0, {127, 0, 0, 1}, 0, 0, true, true),        // loopback
        Route(v6, 0, {0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, 10, 10),  // link-local: with its zone
        Route(v6, 0, {0xfd, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 2}, 30, 0),
    };
    EXPECT_EQ(ChooseDefaultRoute(routes, v4), (DefaultRoute{DefaultRoute::Kind::ViaRouter, "192.168.1.1"}));
    EXPECT_EQ(ChooseDefaultRoute(routes, v6).router, "fe80::1%7");
    EXPECT_EQ(NextHopText(routes[6]), "fd00:0:0:1::2");
    // One family's route stands for the other; loopback and down interfaces are no network.
    EXPECT_EQ(ChooseDefaultRoute(std::span(routes).subspan(5), v4).router, "fe80::1%7");
    EXPECT_EQ(ChooseDefaultRoute(std::span(routes).subspan(3, 2), v4).kind, DefaultRoute::Kind::None);
    EXPECT_EQ(ChooseDefaultRoute({}, v6).kind, DefaultRoute::Kind::None);
    EXPECT_EQ(ChooseDefaultRoute(std::vector{Route(v4, 0, {}, 0, 0)}, v4).kind, DefaultRoute::Kind::OnLink);

    const std::vector<std::string_view> sixOnly{"", "fd42::2"}, both{"fd42::2", "10.0.0.2"};
    EXPECT_EQ(FamilyOfAddresses(sixOnly), v6);
    EXPECT_EQ(FamilyOfAddresses(both), v4);
    EXPECT_EQ(FamilyOfAddresses({}), v4);
}

}  // namespace
}  // namespace corvale
