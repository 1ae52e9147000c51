// The unprivileged echo service that stands in for the raw socket, forced on, over real
// sockets: loopback here, and the namespaced test host when TARNEL_TESTBED is set.
#include "Icmpv6Gap.h"
#include "engine/EchoNetwork.h"
#include "engine/IcmpEcho.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace tarnel;
using tarnel::test::Ipv6Code;

namespace {

// The system's network, except that it never gets the raw socket.
class UnprivilegedNetwork : public EchoNetwork {
public:
    long StartLayer() override { return system_.StartLayer(); }
    void StopLayer() override { system_.StopLayer(); }
    std::unique_ptr<EchoSocket> OpenSocket(IpFamily family, long& error) override
    {
        return OpenUnprivilegedSocket(family, error);
    }
    bool Resolve(const char* host, EchoAddress& address) override { return system_.Resolve(host, address); }
    std::string AddressText(const EchoAddress& address) override { return system_.AddressText(address); }
    std::uint16_t ProcessIdentifier() override { return system_.ProcessIdentifier(); }
    std::uint32_t NowMs() override { return system_.NowMs(); }
    void ShowMessage(const std::string& text) override { system_.ShowMessage(text); }
    std::unique_ptr<StreamSocket> Connect(const EchoAddress& address, std::uint16_t port, std::uint32_t timeoutMs,
                                          int& failureCode, long& error) override
    {
        return system_.Connect(address, port, timeoutMs, failureCode, error);
    }

private:
    EchoNetwork& system_ = SystemNetwork();
};

EchoResult Echo(const std::string& host, std::uint32_t timeoutMs = 2000)
{
    EchoRequest request;
    SetRequestHost(request, host.c_str());
    request.payloadSize = 64;
    request.timeoutMs = timeoutMs;
    UnprivilegedNetwork network;
    return IcmpEcho(network, request);
}

// Linux opens ping sockets only to the groups in net.ipv4.ping_group_range (none by default;
// the test network opens them to all).
bool ServiceAvailable()
{
    long error = 0;
    return OpenUnprivilegedSocket(IpFamily::V4, error) != nullptr;
}

#define SKIP_WITHOUT_SERVICE()                                                \
    if (!ServiceAvailable())                                                  \
    GTEST_SKIP() << "no unprivileged echo service here (ping sockets closed)"


}  // namespace

TEST(EchoFallback, LoopbackReplies)
{
    SKIP_WITHOUT_SERVICE();
    const EchoResult result = Echo("127.0.0.1");
    EXPECT_EQ(result.code, 0);
    EXPECT_GE(result.roundTripMs, 0);
    EXPECT_EQ(Echo("::1").code, Ipv6Code(0));
}

TEST(TestbedFallback, ReplyTimeoutAndErrorReport)
{
    const char* net = std::getenv("TARNEL_TESTBED");
    if (net == nullptr)
        GTEST_SKIP() << "no test network; these run through scripts/netns-testbed (needs root)";
    SKIP_WITHOUT_SERVICE();
    const std::string prefix = net;
    const EchoResult delayed = Echo(prefix + ".4");
    EXPECT_EQ(delayed.code, 0);
    EXPECT_GE(delayed.roundTripMs, 19);
    EXPECT_EQ(Echo(prefix + ".10", 500).code, 9);
    EXPECT_EQ(Echo(prefix + ".8").code, 12);

    const std::string prefix6 = std::getenv("TARNEL_TESTBED6");
    const EchoResult delayed6 = Echo(prefix6 + "4");
    EXPECT_EQ(delayed6.code, Ipv6Code(0));
    EXPECT_GE(delayed6.roundTripMs, Ipv6Code(0) == 0 ? 19 : 0);
    EXPECT_EQ(Echo(prefix6 + "a", 500).code, Ipv6Code(9));
    EXPECT_EQ(Echo(prefix6 + "8").code, Ipv6Code(12));
}
