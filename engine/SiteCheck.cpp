#include "engine/SiteCheck.h"

#include "engine/CheckDeadline.h"
#include "engine/EchoMessages.h"
#include "engine/ResultText.h"

#include <string>

namespace tarnel {

namespace {

// The socket layer, started for the length of one check.
class LayerScope {
public:
    explicit LayerScope(EchoNetwork& network) : network_(network), error_(network.StartLayer()) {}
    LayerScope(const LayerScope&) = delete;
    LayerScope& operator=(const LayerScope&) = delete;
    ~LayerScope()
    {
        if (error_ == 0)
            network_.StopLayer();
    }
    long Error() const { return error_; }

private:
    EchoNetwork& network_;
    const long error_;
};

CheckOutcome Failure(int code, long systemError = 0)
{
    return {code, 0, systemError};
}

CheckOutcome TcpCheck(EchoNetwork& network, const SiteTarget& target, std::uint32_t timeoutMs)
{
    EchoAddress address;
    if (!network.Resolve(target.host.c_str(), address))
        return Failure(kHostNotFound);
    const CheckDeadline deadline(network, timeoutMs);
    int failure = 0;
    long error = 0;
    // Closed again at once: the connection is the answer, nothing is sent.
    if (!network.Connect(address, target.port, timeoutMs, failure, error))
        return Failure(failure, error);
    return {kAnswered, static_cast<std::int32_t>(deadline.Elapsed()), 0};
}

// Interim responses before the final status line, and that line, fit in this much.
constexpr std::size_t kLongestResponseHead = 8192;

// One request with the given method over a connection of its own, read up to the final
// response's status line.
CheckOutcome RequestStatus(EchoNetwork& network, const SiteTarget& target, const EchoAddress& address,
                           const char* method, const CheckDeadline& deadline, int& status)
{
    if (deadline.Left() == 0)
        return Failure(kConnectTimedOut);
    int failure = 0;
    long error = 0;
    const std::unique_ptr<StreamSocket> socket = network.Connect(address, target.port, deadline.Left(), failure, error);
    if (!socket)
        return Failure(failure, error);

    std::string request = method;
    request.append(" ").append(target.path).append(" HTTP/1.1\r\nHost: ").append(HostHeader(target));
    request.append("\r\nUser-Agent: ").append(kUserAgent).append("\r\nAccept: */*\r\nConnection: close\r\n\r\n");
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(request.data());
    for (std::size_t sent = 0; sent < request.size();) {
        const IoResult result = socket->Send(bytes + sent, request.size() - sent, deadline.Left());
        if (result.failed || result.bytes <= 0)
            return Failure(result.timedOut ? kSendTimedOut : kSendFailed, result.error);
        sent += static_cast<std::size_t>(result.bytes);
    }

    std::string received;
    for (;;) {
        std::uint8_t buffer[512];
        const std::uint32_t left = deadline.Left();
        if (left == 0)
            return Failure(kTimedOut);
        const IoResult result = socket->Receive(buffer, sizeof buffer, left);
        if (result.failed)
            return Failure(result.timedOut ? kTimedOut : kReceiveFailed, result.error);
        if (result.bytes <= 0)
            return Failure(kNoHttpResponse);
        received.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(result.bytes));
        status = ReadFinalStatus(received);
        if (status < 0 || (status == 0 && received.size() >= kLongestResponseHead))
            return Failure(kNoHttpResponse);
        if (status > 0)
            return {kAnswered, static_cast<std::int32_t>(deadline.Elapsed()), 0};
    }
}

}  // namespace

CheckOutcome EchoNetwork::WebCheck(const SiteTarget& target, std::uint32_t timeoutMs)
{
    if (target.kind != CheckKind::Http)
        return Failure(kHttpsUnsupported);
    EchoAddress address;
    if (!Resolve(target.host.c_str(), address))
        return Failure(kHostNotFound);
    const CheckDeadline deadline(*this, timeoutMs);
    int status = 0;
    CheckOutcome outcome = RequestStatus(*this, target, address, "HEAD", deadline, status);
    if (outcome.code == kAnswered && RefusesHead(status))
        outcome = RequestStatus(*this, target, address, "GET", deadline, status);
    if (outcome.code == kAnswered)
        outcome.code = StatusResult(status);
    return outcome;
}

EchoResult RunSiteCheck(EchoNetwork& network, const EchoRequest& request)
{
    const SiteTarget target = ParseSiteTarget(request.host);
    if (target.kind == CheckKind::Ping && target.failure == 0)
        return IcmpEcho(network, request);

    // A line cut to fit the buffer is never checked: what is left would be another address.
    CheckOutcome outcome = Failure(request.hostTooLong ? kMalformedAddress : target.failure);
    if (outcome.code == 0) {
        const LayerScope layer(network);
        const std::uint32_t timeoutMs = EffectiveTimeout(request.timeoutMs);
        if (layer.Error() != 0)
            outcome = Failure(1, layer.Error());
        else if (target.kind == CheckKind::Tcp)
            outcome = TcpCheck(network, target, timeoutMs);
        else
            outcome = network.WebCheck(target, timeoutMs);
    }
    if (MessagesWanted(request.showMessages))
        network.ShowMessage(CheckMessage(request.host, outcome.code, outcome.systemError, outcome.elapsedMs));
    return {outcome.code, outcome.code == kAnswered ? outcome.elapsedMs : 0};
}

}  // namespace tarnel
