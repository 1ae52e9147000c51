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
    IoResult ReceiveReply(std::uint8_t* reply, std::uint32_t timeoutMs, std::uint16_t identifier,
                          std::uint32_t& source);

    EchoNetwork& network_;
    const EchoRequest& request_;
    ExchangeScope scope_;
};

// Reads datagrams until one is not the copy of our own request that the local stack may hand
// back. Skipping such a copy costs nothing of the timeout: the next read waits only for what
// is left of it.
IoResult Exchange::ReceiveReply(std::uint8_t* reply, std::uint32_t timeoutMs, std::uint16_t identifier,
                                std::uint32_t& source)
{
    const std::uint32_t start = network_.NowMs();
    for (;;) {
        std::memset(reply, 0, kReplyBufferSize);
        IoResult received = scope_.socket->Receive(reply, kReplyBufferSize, source);
        if (received.failed || !IsOwnRequestCopy(reply, static_cast<std::size_t>(received.bytes), identifier))
            return received;
        const std::uint32_t spent = network_.NowMs() - start;
        if (spent >= timeoutMs) {
            IoResult timedOut;
            timedOut.failed = true;
            timedOut.timedOut = true;
            return timedOut;
        }
        if (const long error = scope_.socket->SetReceiveTimeout(timeoutMs - spent)) {
            IoResult failed;
            failed.failed = true;
            failed.error = error;
            return failed;
        }
    }
}

EchoResult Exchange::Run()
{
    if (const long error = network_.StartLayer())
        return Fail(1, error);
    scope_.layerStarted = true;

    long socketError = 0;
    scope_.socket = network_.OpenSocket(socketError);
    if (!scope_.socket)
        return Fail(2, socketError);

    const std::uint32_t timeoutMs = EffectiveTimeout(request_.timeoutMs);
    if (const long error = scope_.socket->SetReceiveTimeout(timeoutMs))
        return Fail(3, error);
    if (const long error = scope_.socket->SetSendTimeout(timeoutMs))
        return Fail(4, error);

    // A text that did not fit is never looked up cut short: that would be another name.
    std::uint32_t address = 0;
    if (request_.hostTooLong || !network_.Resolve(request_.host, address))
        return Fail(5, 0, request_.host);

    const std::uint32_t payloadSize = EffectivePayloadSize(request_.payloadSize);
    const std::size_t packetLength = payloadSize + kIcmpHeaderSize;

    std::unique_ptr<std::uint8_t[]> request(new (std::nothrow) std::uint8_t[kRequestBufferSize]());
    std::unique_ptr<std::uint8_t[]> reply(new (std::nothrow) std::uint8_t[kReplyBufferSize]());
    if (!request || !reply)
        return Fail(6, 0);

    const std::uint16_t identifier = network_.ProcessIdentifier();
    FillEchoRequest(request.get(), packetLength, identifier);
    StampEchoRequest(request.get(), packetLength, network_.NowMs());

    const IoResult sent = scope_.socket->Send(request.get(), packetLength, address);
    if (sent.failed)
        return sent.timedOut ? Fail(7) : Fail(8, sent.error);
    if (static_cast<std::size_t>(sent.bytes) < packetLength)
        Tell(ShortSendMessage(sent.bytes));

    std::uint32_t source = 0;
    const IoResult received = ReceiveReply(reply.get(), timeoutMs, identifier, source);
    if (received.failed)
        return received.timedOut ? Fail(9) : Fail(10, received.error);

    const ReplyVerdict verdict = CheckReply(reply.get(), static_cast<std::size_t>(received.bytes), identifier);
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
