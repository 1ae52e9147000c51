#include "engine/IcmpEcho.h"

#include "engine/EchoMessages.h"
#include "engine/EchoPacket.h"

#include <cstring>
#include <memory>
#include <new>

namespace tarnel {

void SetRequestHost(EchoRequest& request, const char* host)
{
    if (host == nullptr)
        host = "";
    const std::size_t length = std::strlen(host);
    request.hostTooLong = length >= kHostBufferSize;
    const std::size_t kept = request.hostTooLong ? kHostBufferSize - 1 : length;
    std::memcpy(request.host, host, kept);
    request.host[kept] = '\0';
}

namespace {

// Owns the socket layer and the socket for the length of one exchange, so every exit releases
// exactly what was obtained.
class ExchangeScope {
public:
    explicit ExchangeScope(EchoNetwork& network) : network_(network) {}
    ExchangeScope(const ExchangeScope&) = delete;
    ExchangeScope& operator=(const ExchangeScope&) = delete;
    ~ExchangeScope()
    {
        socket.reset();
        if (layerStarted)
            network_.StopLayer();
    }

    bool layerStarted = false;
    std::unique_ptr<EchoSocket> socket;

private:
    EchoNetwork& network_;
};

class Exchange {
public:
    Exchange(EchoNetwork& network, const EchoRequest& request)
        : network_(network), request_(request), scope_(network)
    {
    }

    EchoResult Run();

private:
    EchoResult Fail(int code, long number = 0, const std::string& text = {})
    {
        Tell(FailureMessage(code, number, text));
        return {code, 0};
    }
    void Tell(const std::string& text)
    {
        if (MessagesWanted(request_.showMessages))
            network_.ShowMessage(text);
    }
    int OpenTimedSocket(IpFamily family, std::uint32_t timeoutMs);
    IoResult ReceiveReply(std::uint8_t* reply, std::uint32_t startMs, std::uint32_t timeoutMs,
                          std::uint16_t identifier, IpFamily family, EchoAddress& source);

    EchoNetwork& network_;
    const EchoRequest& request_;
    ExchangeScope scope_;
};

// Opens the socket of a family and sets both timeouts; 0, or the failure's code (2, 3, 4).
int Exchange::OpenTimedSocket(IpFamily family, std::uint32_t timeoutMs)
{
    scope_.socket.reset();
    long socketError = 0;
    scope_.socket = network_.OpenSocket(family, socketError);
    if (!scope_.socket)
        return Fail(2, socketError).code;
    if (const long error = scope_.socket->SetReceiveTimeout(timeoutMs))
        return Fail(3, error).code;
    if (const long error = scope_.socket->SetSendTimeout(timeoutMs))
        return Fail(4, error).code;
    return 0;
}

// Reads datagrams until one says something about our request (see IsReadPast). The timeout
// counts from the request going out: a slow send, or a datagram read past, leaves the next
// read only what is left of it.
IoResult Exchange::ReceiveReply(std::uint8_t* reply, std::uint32_t startMs, std::uint32_t timeoutMs,
                                std::uint16_t identifier, IpFamily family, EchoAddress& source)
{
    for (bool first = true;; first = false) {
        const std::uint32_t spent = network_.NowMs() - startMs;
        if (spent >= timeoutMs) {
            IoResult timedOut;
            timedOut.failed = true;
            timedOut.timedOut = true;
            return timedOut;
        }
        if (!first || spent > 0) {
            if (const long error = scope_.socket->SetReceiveTimeout(timeoutMs - spent)) {
                IoResult failed;
                failed.failed = true;
                failed.error = error;
                return failed;
            }
        }
        std::memset(reply, 0, kReplyBufferSize);
        IoResult received = scope_.socket->Receive(reply, kReplyBufferSize, source);
        if (received.failed || !IsReadPast(reply, static_cast<std::size_t>(received.bytes), identifier, family))
            return received;
    }
}

EchoResult Exchange::Run()
{
    if (const long error = network_.StartLayer())
        return Fail(1, error);
    scope_.layerStarted = true;

    const std::uint32_t timeoutMs = EffectiveTimeout(request_.timeoutMs);
    if (const int code = OpenTimedSocket(IpFamily::V4, timeoutMs))
        return {code, 0};

    // A text that did not fit is never looked up cut short: that would be another name.
    EchoAddress address;
    if (request_.hostTooLong || !network_.Resolve(request_.host, address))
        return Fail(5, 0, request_.host);
    // Only the address tells the family; an IPv6 host takes the ICMPv6 socket in its place.
    const IpFamily family = address.family;
    if (family == IpFamily::V6) {
        if (const int code = OpenTimedSocket(IpFamily::V6, timeoutMs))
            return {code, 0};
    }

    const std::uint32_t payloadSize = EffectivePayloadSize(request_.payloadSize);
    const std::size_t packetLength = payloadSize + kIcmpHeaderSize;

    std::unique_ptr<std::uint8_t[]> request(new (std::nothrow) std::uint8_t[kRequestBufferSize]());
    std::unique_ptr<std::uint8_t[]> reply(new (std::nothrow) std::uint8_t[kReplyBufferSize]());
    if (!request || !reply)
        return Fail(6, 0);

    const std::uint16_t identifier = network_.ProcessIdentifier();
    FillEchoRequest(request.get(), packetLength, identifier, family);
    const std::uint32_t sentAtMs = network_.NowMs();
    StampEchoRequest(request.get(), packetLength, sentAtMs, family);

    const IoResult sent = scope_.socket->Send(request.get(), packetLength, address);
    if (sent.failed)
        return sent.timedOut ? Fail(7) : Fail(8, sent.error);
    if (static_cast<std::size_t>(sent.bytes) < packetLength)
        Tell(ShortSendMessage(sent.bytes));

    EchoAddress source;
    const IoResult received = ReceiveReply(reply.get(), sentAtMs, timeoutMs, identifier, family, source);
    if (received.failed)
        return received.timedOut ? Fail(9) : Fail(10, received.error);

    const ReplyVerdict verdict =
        CheckReply(reply.get(), static_cast<std::size_t>(received.bytes), identifier, family);
    switch (verdict.code) {
    case 11: return Fail(11, 0, network_.AddressText(source));
    case 12: return Fail(12, verdict.icmpType);
    case 13: return Fail(13);
    default: break;
    }

    const auto roundTripMs = static_cast<std::int32_t>(network_.NowMs() - verdict.echoedTimestamp);
    Tell(SuccessMessage(received.bytes, network_.AddressText(source), verdict.sequence, roundTripMs));
    return {0, roundTripMs};
}

}  // namespace

EchoResult IcmpEcho(EchoNetwork& network, const EchoRequest& request)
{
    return Exchange(network, request).Run();
}

}  // namespace tarnel
