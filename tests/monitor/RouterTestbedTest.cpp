// The default route read from the system's routing table, and the router and a site checked
// through the engine, on the test network with a router (scripts/netns-testbed --router) as each
// of its links breaks: what the verdict on a round in which no site answered rests on.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "TarnelLibrary.h"
#include "monitor/ConnectionVerdict.h"

namespace corvale {
namespace {

using tarnel::test::RunPing;
using Kind = ConnectionVerdict::Kind;

// Brings the test network to the named state through its link file.
void SetNetwork(const char* state) {
    std::string path = std::getenv("TARNEL_TESTBED_LINK");
    for (char& c : path) c = c == '/' ? '\\' : c;
    std::ofstream("Z:" + path, std::ios::trunc) << state << "\n";
    Sleep(500);  // the test network looks at it ten times a second
}

// As the end of a failing round judges: the route read now, the router asked only when there is one.
ConnectionVerdict Judge(const std::string& site) {
    const std::int32_t siteCode = RunPing(site).code;
    EXPECT_NE(siteCode, 0) << site << " answers";
    const DefaultRoute route = ReadDefaultRoute(RouteFamily::Ipv4);
    const bool routerAnswers = route.kind == DefaultRoute::Kind::ViaRouter && RunPing(route.router).code == 0;
    return JudgeConnection(route, routerAnswers, std::span(&siteCode, 1));
}

TEST(RouterTestbed, EachBreakOfTheNetwork) {
    const char* router = std::getenv("TARNEL_TESTBED_ROUTER");
    if (router == nullptr) GTEST_SKIP() << "runs through scripts/netns-testbed --router (needs root)";
    tarnel::test::TarnelLibrary& engine = tarnel::test::TarnelLibrary::Get();
    ASSERT_TRUE(engine.Loaded()) << engine.Error();
    ASSERT_EQ(engine.startDll(), 0);
    const std::string site = std::string(std::getenv("TARNEL_TESTBED")) + ".2";

    EXPECT_EQ(ReadDefaultRoute(RouteFamily::Ipv4), (DefaultRoute{DefaultRoute::Kind::ViaRouter, router}));
    // Wine 8 lists no IPv6 route at all, so there the IPv4 router stands in, as on a computer
    // whose network has no IPv6.
    EXPECT_THAT(ReadDefaultRoute(RouteFamily::Ipv6).router,
                ::testing::AnyOf(std::getenv("TARNEL_TESTBED_ROUTER6"), router));
    EXPECT_EQ(RunPing(router).code, 0);
    EXPECT_EQ(RunPing(site).code, 0);
    // A name too long for a DNS query fails without one being sent.
    EXPECT_EQ(Judge(std::string(64, 'x') + ".tarnel-test.invalid").kind, Kind::NamesUnresolved);

    SetNetwork("beyond-down");
    EXPECT_EQ(Judge(site), (ConnectionVerdict{Kind::BeyondRouter, router}));
    SetNetwork("router-down");
    EXPECT_EQ(Judge(site), (ConnectionVerdict{Kind::RouterSilent, router}));
    SetNetwork("no-route");
    EXPECT_EQ(Judge(site).kind, Kind::NoNetwork);
    SetNetwork("down");
    EXPECT_EQ(Judge(site).kind, Kind::NoNetwork);

    SetNetwork("up");
    EXPECT_EQ(ReadDefaultRoute(RouteFamily::Ipv4).router, router);
    EXPECT_EQ(RunPing(site).code, 0);
    EXPECT_EQ(engine.stopDll(), 0);
}

}  // namespace
}  // namespace corvale
