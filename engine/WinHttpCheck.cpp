// The web check over the system's own HTTP stack, WinHTTP: plain HTTP and HTTPS, with the
// system's certificate checks, never relaxed. WinHTTP is not one of the system's known DLLs, so
// it is loaded from the system folder on first use, never imported.
//
// WinHTTP bounds each phase of a request on its own (connecting, the handshake, each wait for
// data) and tries again by itself, so one request can take several times any timeout given to
// it. So the name is resolved first, with the lookup every kind of check makes, and from then on
// the requests run asynchronously and are closed at the check's own deadline.

#include "engine/WinHttpCheck.h"

#include "engine/CheckDeadline.h"
#include "engine/ResultText.h"
#include "engine/ServerCertificate.h"
#include "engine/SystemLibrary.h"
#include "engine/WinHttpFailure.h"

#include <windows.h>
#include <winhttp.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

namespace tarnel {

namespace {

struct WinHttp {
    decltype(&::WinHttpOpen) open = nullptr;
    decltype(&::WinHttpConnect) connect = nullptr;
    decltype(&::WinHttpOpenRequest) openRequest = nullptr;
    decltype(&::WinHttpSetOption) setOption = nullptr;
    decltype(&::WinHttpQueryOption) queryOption = nullptr;
    decltype(&::WinHttpSetTimeouts) setTimeouts = nullptr;
    decltype(&::WinHttpSetStatusCallback) setStatusCallback = nullptr;
    decltype(&::WinHttpSendRequest) sendRequest = nullptr;
    decltype(&::WinHttpReceiveResponse) receiveResponse = nullptr;
    decltype(&::WinHttpQueryHeaders) queryHeaders = nullptr;
    decltype(&::WinHttpCloseHandle) closeHandle = nullptr;
    DWORD error = 0;  // why it is not there

    bool Complete() const
    {
        return open && connect && openRequest && setOption && queryOption && setTimeouts && setStatusCallback &&
               sendRequest && receiveResponse && queryHeaders && closeHandle;
    }
};

WinHttp BindWinHttp(const SystemLibrary& library)
{
    WinHttp bound;
    bound.open = library.Find<decltype(bound.open)>("WinHttpOpen");
    bound.connect = library.Find<decltype(bound.connect)>("WinHttpConnect");
    bound.openRequest = library.Find<decltype(bound.openRequest)>("WinHttpOpenRequest");
    bound.setOption = library.Find<decltype(bound.setOption)>("WinHttpSetOption");
    bound.queryOption = library.Find<decltype(bound.queryOption)>("WinHttpQueryOption");
    bound.setTimeouts = library.Find<decltype(bound.setTimeouts)>("WinHttpSetTimeouts");
    bound.setStatusCallback = library.Find<decltype(bound.setStatusCallback)>("WinHttpSetStatusCallback");
    bound.sendRequest = library.Find<decltype(bound.sendRequest)>("WinHttpSendRequest");
    bound.receiveResponse = library.Find<decltype(bound.receiveResponse)>("WinHttpReceiveResponse");
    bound.queryHeaders = library.Find<decltype(bound.queryHeaders)>("WinHttpQueryHeaders");
    bound.closeHandle = library.Find<decltype(bound.closeHandle)>("WinHttpCloseHandle");
    bound.error = !library.Loaded() ? library.Error() : bound.Complete() ? 0 : ERROR_PROC_NOT_FOUND;
    return bound;
}

const WinHttp& Http()
{
    // Loaded once and never freed: freeing it as the engine unloads would run under the loader's lock.
    static const SystemLibrary& library = *new SystemLibrary(L"winhttp.dll");
    static const WinHttp bound = BindWinHttp(library);
    return bound;
}

// WinHTTP's own retries of a failed connection (Windows 11 on; older systems refuse the option,
// and retry only as far as WINHTTP_OPTION_CONNECT_RETRIES lets them). Not in every SDK's header.
constexpr DWORD kFailedConnectionRetriesOption = 162;
struct FailedConnectionRetries {
    DWORD maxRetries;
    DWORD allowedConditions;
};

// One session, connection or request handle, closed when it goes.
class HttpHandle {
public:
    explicit HttpHandle(HINTERNET handle) : handle_(handle) {}
    ~HttpHandle()
    {
        if (handle_ != nullptr)
            Http().closeHandle(handle_);
    }
    HttpHandle(const HttpHandle&) = delete;
    HttpHandle& operator=(const HttpHandle&) = delete;
    HINTERNET Get() const { return handle_; }

private:
    HINTERNET handle_;
};

// How much longer than the check WinHTTP's own timeouts are.
constexpr DWORD kStackGraceMs = 1000;

void SetNumber(HINTERNET handle, DWORD option, DWORD value)
{
    Http().setOption(handle, option, &value, sizeof value);
}

// What a request tells of itself through its status callback, on WinHTTP's threads. The check
// waits on it; the callback holds it too, until the request handle's last notice, so a request
// closed at the deadline that goes on reporting never reports to memory that is gone.
struct RequestEvents {
    enum class Stage { Sending, Sent, Answered, Failed };

    explicit RequestEvents(EchoNetwork& clock) : clock(clock) {}

    EchoNetwork& clock;  // the process's own network, which lives as long as the process
    std::mutex lock;
    std::condition_variable changed;
    Stage stage = Stage::Sending;
    DWORD error = 0;  // of the step that failed
    bool connecting = false;
    std::uint32_t connectingAtMs = 0;  // the first packet to the server
    bool connected = false;
    std::uint32_t answeredAtMs = 0;   // the response's headers
    DWORD secureFailure = 0;           // WINHTTP_CALLBACK_STATUS_FLAG_... of a failed handshake
};
using EventsHolder = std::shared_ptr<RequestEvents>;

constexpr DWORD kReportedEvents = WINHTTP_CALLBACK_FLAG_CONNECT_TO_SERVER | WINHTTP_CALLBACK_FLAG_SECURE_FAILURE |
                                  WINHTTP_CALLBACK_FLAG_SENDREQUEST_COMPLETE | WINHTTP_CALLBACK_FLAG_HEADERS_AVAILABLE |
                                  WINHTTP_CALLBACK_FLAG_REQUEST_ERROR | WINHTTP_CALLBACK_FLAG_HANDLES;

void CALLBACK OnRequestEvent(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information, DWORD length)
{
    auto* holder = reinterpret_cast<EventsHolder*>(context);
    if (holder == nullptr)
        return;
    if (status == WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING) {  // the request's last notice
        delete holder;
        return;
    }
    RequestEvents& events = **holder;
    const std::lock_guard<std::mutex> guard(events.lock);
    switch (status) {
    case WINHTTP_CALLBACK_STATUS_CONNECTING_TO_SERVER:
        if (!events.connecting)
            events.connectingAtMs = events.clock.NowMs();
        events.connecting = true;
        break;
    case WINHTTP_CALLBACK_STATUS_CONNECTED_TO_SERVER: events.connected = true; break;
    case WINHTTP_CALLBACK_STATUS_SECURE_FAILURE:
        if (information != nullptr && length >= sizeof(DWORD))
            events.secureFailure |= *static_cast<const DWORD*>(information);
        break;
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE: events.stage = RequestEvents::Stage::Sent; break;
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
        events.answeredAtMs = events.clock.NowMs();
        events.stage = RequestEvents::Stage::Answered;
        break;
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
        events.error = information != nullptr && length >= sizeof(WINHTTP_ASYNC_RESULT)
                           ? static_cast<const WINHTTP_ASYNC_RESULT*>(information)->dwError
                           : ERROR_WINHTTP_INTERNAL_ERROR;
        events.stage = RequestEvents::Stage::Failed;
        break;
    default: return;
    }
    events.changed.notify_all();
}

// The target's texts are ASCII (the line's reading makes them so), so widening is byte by byte.
std::wstring Wide(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

// WinHTTP takes an IPv6 address in brackets.
std::wstring ServerName(const SiteTarget& target)
{
    return target.host.find(':') != std::string::npos ? L"[" + Wide(target.host) + L"]" : Wide(target.host);
}

// One request (HEAD or GET) run asynchronously up to its response's headers, within the
// check's deadline; closed when it goes, answered or not.
class AsyncRequest {
public:
    AsyncRequest(EchoNetwork& clock, HINTERNET connection, const SiteTarget& target, const wchar_t* method)
        : target_(target),
          request_(Http().openRequest(connection, method, Wide(target.path).c_str(), nullptr, WINHTTP_NO_REFERER,
                                      WINHTTP_DEFAULT_ACCEPT_TYPES,
                                      target.kind == CheckKind::Https ? WINHTTP_FLAG_SECURE : 0)),
          events_(std::make_shared<RequestEvents>(clock))
    {
    }

    // kAnswered with the response's status, or the failure's code.
    CheckOutcome Run(const CheckDeadline& deadline, int& status);
    // When the first packet went to the server, if one did.
    bool Connecting(std::uint32_t& atMs) const;
    std::uint32_t AnsweredAtMs() const;

private:
    bool Prepare(std::uint32_t leftMs);
    RequestEvents::Stage WaitPast(RequestEvents::Stage stage, const CheckDeadline& deadline);
    CheckOutcome Failed(DWORD error);

    const SiteTarget& target_;
    const HttpHandle request_;
    const EventsHolder events_;
    DWORD_PTR context_ = 0;  // the callback's hold on the events, as the request carries it
};

bool AsyncRequest::Connecting(std::uint32_t& atMs) const
{
    const std::lock_guard<std::mutex> guard(events_->lock);
    atMs = events_->connectingAtMs;
    return events_->connecting;
}

std::uint32_t AsyncRequest::AnsweredAtMs() const
{
    const std::lock_guard<std::mutex> guard(events_->lock);
    return events_->answeredAtMs;
}

// Options, and the callback that holds the events from here on.
bool AsyncRequest::Prepare(std::uint32_t leftMs)
{
    const WinHttp& http = Http();
    SetNumber(request_.Get(), WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_KEEP_ALIVE);
    // Its own timeouts only end WinHTTP's work soon after the check has given it up; they run
    // out later than the deadline, so that the deadline, not a phase's failure, tells the end.
    const DWORD stackMs = leftMs + kStackGraceMs;
    const int stack = static_cast<int>(stackMs);
    http.setTimeouts(request_.Get(), stack, stack, stack, stack);
    SetNumber(request_.Get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, stackMs);
    if (http.setStatusCallback(request_.Get(), OnRequestEvent, kReportedEvents, 0) == WINHTTP_INVALID_STATUS_CALLBACK)
        return false;
    auto* holder = new EventsHolder(events_);
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(holder);
    if (!http.setOption(request_.Get(), WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context)) {
        delete holder;  // never handed over: no notice can carry it
        return false;
    }
    context_ = context;
    return true;
}

// Waits until the request has gone past `stage`, or the time is up (then it is still at it).
RequestEvents::Stage AsyncRequest::WaitPast(RequestEvents::Stage stage, const CheckDeadline& deadline)
{
    std::unique_lock<std::mutex> guard(events_->lock);
    for (;;) {
        const std::uint32_t left = deadline.Left();
        if (events_->stage != stage || left == 0)
            return events_->stage;
        events_->changed.wait_for(guard, std::chrono::milliseconds(left));
    }
}

CheckOutcome AsyncRequest::Failed(DWORD error)
{
    bool connected = false;
    DWORD secureFailure = 0;
    {
        const std::lock_guard<std::mutex> guard(events_->lock);
        connected = events_->connected;
        secureFailure = events_->secureFailure;
    }
    int code = FailureCode(error, connected, secureFailure);
    if (code == kSecureChannelFailed && target_.kind == CheckKind::Https) {
        // No reason named: the certificate the handshake brought, where the stack keeps it,
        // judged as the system would. Nothing was sent to the server.
        ServerCertificate certificate;
        DWORD size = sizeof(const CERT_CONTEXT*);
        if (Http().queryOption(request_.Get(), WINHTTP_OPTION_SERVER_CERT_CONTEXT, certificate.Receive(), &size))
            code = certificate.Fault(Wide(target_.host).c_str());
    }
    return {code, 0, static_cast<long>(error)};
}

CheckOutcome AsyncRequest::Run(const CheckDeadline& deadline, int& status)
{
    using Stage = RequestEvents::Stage;
    if (request_.Get() == nullptr)
        return {kConnectFailed, 0, static_cast<long>(::GetLastError())};
    // WinHTTP reads a timeout of 0 as none at all.
    const std::uint32_t left = deadline.Left();
    if (left == 0)
        return {kConnectTimedOut, 0, 0};
    const WinHttp& http = Http();
    if (!Prepare(left))
        return {kConnectFailed, 0, static_cast<long>(::GetLastError())};
    if (!http.sendRequest(request_.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0,
                          context_))
        return Failed(::GetLastError());
    Stage stage = WaitPast(Stage::Sending, deadline);
    if (stage == Stage::Sent) {
        if (!http.receiveResponse(request_.Get(), nullptr))
            return Failed(::GetLastError());
        stage = WaitPast(Stage::Sent, deadline);
    }
    if (stage == Stage::Failed) {
        DWORD error = 0;
        {
            const std::lock_guard<std::mutex> guard(events_->lock);
            error = events_->error;
        }
        return Failed(error);
    }
    if (stage != Stage::Answered) {
        const std::lock_guard<std::mutex> guard(events_->lock);
        return {events_->connected ? kTimedOut : kConnectTimedOut, 0, 0};
    }
    DWORD code = 0;
    DWORD size = sizeof code;
    if (!http.queryHeaders(request_.Get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &code, &size, WINHTTP_NO_HEADER_INDEX))
        return {kNoHttpResponse, 0, static_cast<long>(::GetLastError())};
    status = static_cast<int>(code);
    return {kAnswered, 0, 0};
}

}  // namespace

CheckOutcome WinHttpCheck(EchoNetwork& network, const SiteTarget& target, std::uint32_t timeoutMs)
{
    const WinHttp& http = Http();
    if (!http.Complete())
        return {kHttpStackMissing, 0, static_cast<long>(http.error)};
    EchoAddress address;
    if (!network.Resolve(target.host.c_str(), address))
        return {kHostNotFound, 0, 0};
    const CheckDeadline deadline(network, timeoutMs);

    // A direct connection, as the TCP check makes: the site itself is asked, not a proxy.
    const HttpHandle session(http.open(Wide(kUserAgent).c_str(), WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                       WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC));
    if (session.Get() == nullptr)
        return {kHttpStackMissing, 0, static_cast<long>(::GetLastError())};
    // One attempt at one address, as the other kinds make; the deadline is the only retry.
    SetNumber(session.Get(), WINHTTP_OPTION_CONNECT_RETRIES, 1);
    FailedConnectionRetries noRetries{0, 0};
    http.setOption(session.Get(), kFailedConnectionRetriesOption, &noRetries, sizeof noRetries);
    const HttpHandle connection(http.connect(session.Get(), ServerName(target).c_str(), target.port, 0));
    if (connection.Get() == nullptr)
        return {kMalformedAddress, 0, static_cast<long>(::GetLastError())};

    int status = 0;
    bool connecting = false;
    std::uint32_t connectingAtMs = 0;
    CheckOutcome outcome;
    std::uint32_t answeredAtMs = 0;
    for (const wchar_t* method : {L"HEAD", L"GET"}) {
        AsyncRequest request(network, connection.Get(), target, method);
        outcome = request.Run(deadline, status);
        if (!connecting)
            connecting = request.Connecting(connectingAtMs);
        answeredAtMs = request.AnsweredAtMs();
        if (outcome.code != kAnswered || !RefusesHead(status))
            break;
        if (deadline.Left() == 0)
            return {kTimedOut, 0, 0};
    }
    if (outcome.code != kAnswered)
        return outcome;
    // From the first packet to the final response; WinHTTP's own look-up of the name (the
    // system's cache answers it) is not part of it.
    const std::uint32_t spanStart = connecting ? connectingAtMs : deadline.StartMs();
    return {StatusResult(status), static_cast<std::int32_t>(answeredAtMs - spanStart), 0};
}

}  // namespace tarnel
