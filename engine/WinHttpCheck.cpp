// The web check over the system's own HTTP stack, WinHTTP: plain HTTP and HTTPS, with the
// system's certificate checks. WinHTTP is not one of the system's known DLLs, so it is loaded
// from the system folder on first use, never imported.

#include "engine/WinHttpCheck.h"

#include "engine/ResultText.h"
#include "engine/SystemLibrary.h"

#include <windows.h>
#include <winhttp.h>

#include <string>

namespace tarnel {

namespace {

struct WinHttp {
    decltype(&::WinHttpOpen) open = nullptr;
    decltype(&::WinHttpConnect) connect = nullptr;
    decltype(&::WinHttpOpenRequest) openRequest = nullptr;
    decltype(&::WinHttpSetOption) setOption = nullptr;
    decltype(&::WinHttpSetTimeouts) setTimeouts = nullptr;
    decltype(&::WinHttpSetStatusCallback) setStatusCallback = nullptr;
    decltype(&::WinHttpSendRequest) sendRequest = nullptr;
    decltype(&::WinHttpReceiveResponse) receiveResponse = nullptr;
    decltype(&::WinHttpQueryHeaders) queryHeaders = nullptr;
    decltype(&::WinHttpCloseHandle) closeHandle = nullptr;
    DWORD error = 0;  // why it is not there

    bool Complete() const
    {
        return open && connect && openRequest && setOption && setTimeouts && setStatusCallback && sendRequest &&
               receiveResponse && queryHeaders && closeHandle;
    }
};

WinHttp BindWinHttp(const SystemLibrary& library)
{
    WinHttp bound;
    bound.open = library.Find<decltype(bound.open)>("WinHttpOpen");
    bound.connect = library.Find<decltype(bound.connect)>("WinHttpConnect");
    bound.openRequest = library.Find<decltype(bound.openRequest)>("WinHttpOpenRequest");
    bound.setOption = library.Find<decltype(bound.setOption)>("WinHttpSetOption");
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

// What WinHTTP tells of a request while it runs. In synchronous use it calls back on the
// calling thread, inside the call.
struct RequestEvents {
    EchoNetwork* network = nullptr;
    bool connecting = false;
    std::uint32_t connectingAtMs = 0;  // the name resolved, the connection begins
    bool connected = false;
    DWORD secureFailure = 0;  // WINHTTP_CALLBACK_STATUS_FLAG_... of a failed handshake
    std::string address;      // the server's address, as the stack connects to it
};

// The address text the stack hands with its connection events: digits, dots and colons.
std::string AddressFrom(const void* information, DWORD length)
{
    std::string text;
    const auto* wide = static_cast<const wchar_t*>(information);
    for (DWORD i = 0; wide != nullptr && i < length && wide[i] != L'\0'; ++i)
        text += wide[i] < 0x80 ? static_cast<char>(wide[i]) : '?';
    return text;
}

void CALLBACK OnRequestEvent(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information, DWORD length)
{
    auto* events = reinterpret_cast<RequestEvents*>(context);
    if (events == nullptr)
        return;
    if (status == WINHTTP_CALLBACK_STATUS_CONNECTING_TO_SERVER && !events->connecting) {
        events->connecting = true;
        events->connectingAtMs = events->network->NowMs();
        events->address = AddressFrom(information, length);
    } else if (status == WINHTTP_CALLBACK_STATUS_CONNECTED_TO_SERVER) {
        events->connected = true;
    } else if (status == WINHTTP_CALLBACK_STATUS_SECURE_FAILURE && information != nullptr && length >= sizeof(DWORD)) {
        events->secureFailure = *static_cast<const DWORD*>(information);
    }
}

int SecureFailureCode(DWORD flags)
{
    if (flags & WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA)
        return kCertificateUntrusted;
    if (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID)
        return kCertificateNameMismatch;
    if (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID)
        return kCertificateExpired;
    return kSecureChannelFailed;
}

int FailureCode(DWORD error, const RequestEvents& events)
{
    switch (error) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return kHostNotFound;
    case ERROR_WINHTTP_CANNOT_CONNECT: return kConnectFailed;
    case ERROR_WINHTTP_TIMEOUT: return events.connected ? kTimedOut : kConnectTimedOut;
    case ERROR_WINHTTP_SECURE_FAILURE: return SecureFailureCode(events.secureFailure);
    case ERROR_WINHTTP_SECURE_INVALID_CA: return kCertificateUntrusted;
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID: return kCertificateNameMismatch;
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID: return kCertificateExpired;
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR: return kSecureChannelFailed;
    case ERROR_WINHTTP_INVALID_URL:
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME: return kMalformedAddress;
    default: return events.connected ? kNoHttpResponse : kConnectFailed;
    }
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

// One request with the given method, up to its status, overlooking the certificate faults given
// (SECURITY_FLAG_IGNORE_...). The time is from the start of the connection (the name resolved)
// to the response's headers.
CheckOutcome RequestStatus(EchoNetwork& network, HINTERNET connection, const SiteTarget& target,
                           const wchar_t* method, std::uint32_t timeoutMs, int& status, DWORD overlooked = 0)
{
    const WinHttp& http = Http();
    const HttpHandle request(http.openRequest(connection, method, Wide(target.path).c_str(), nullptr,
                                              WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                              target.kind == CheckKind::Https ? WINHTTP_FLAG_SECURE : 0));
    if (request.Get() == nullptr)
        return {kConnectFailed, 0, static_cast<long>(::GetLastError()), {}};
    DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
    http.setOption(request.Get(), WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof noRedirects);
    if (overlooked != 0)
        http.setOption(request.Get(), WINHTTP_OPTION_SECURITY_FLAGS, &overlooked, sizeof overlooked);
    const int timeout = static_cast<int>(timeoutMs);
    http.setTimeouts(request.Get(), timeout, timeout, timeout, timeout);
    // The wait for the response's headers has a timeout of its own (90 s unless set).
    DWORD responseTimeout = timeoutMs;
    http.setOption(request.Get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout, sizeof responseTimeout);
    http.setStatusCallback(request.Get(), OnRequestEvent,
                           WINHTTP_CALLBACK_FLAG_CONNECT_TO_SERVER | WINHTTP_CALLBACK_FLAG_SECURE_FAILURE, 0);

    RequestEvents events;
    events.network = &network;
    const std::uint32_t start = network.NowMs();
    if (!http.sendRequest(request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0,
                          reinterpret_cast<DWORD_PTR>(&events)) ||
        !http.receiveResponse(request.Get(), nullptr)) {
        const DWORD error = ::GetLastError();
        // Whatever the stack calls it, a response that broke off as the time ran out timed out.
        const bool timeUp = events.connected && network.NowMs() - start >= timeoutMs;
        return {timeUp ? kTimedOut : FailureCode(error, events), 0, static_cast<long>(error), events.address};
    }
    // Each phase has the whole timeout of its own: together they may take longer, which is
    // no answer within the time.
    if (network.NowMs() - start >= timeoutMs)
        return {kTimedOut, 0, 0, events.address};
    DWORD code = 0;
    DWORD size = sizeof code;
    if (!http.queryHeaders(request.Get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &code, &size, WINHTTP_NO_HEADER_INDEX))
        return {kNoHttpResponse, 0, static_cast<long>(::GetLastError()), events.address};
    status = static_cast<int>(code);
    return {kAnswered, static_cast<std::int32_t>(network.NowMs() - (events.connecting ? events.connectingAtMs : start)),
            0, events.address};
}

// A handshake failed for a reason the stack did not name (Wine 8 reports only "secure channel
// error"): the request is made again overlooking one kind of certificate fault after another,
// and the kind whose overlooking lets it through is the reason. The check has failed either way.
int CertificateFault(EchoNetwork& network, HINTERNET connection, const SiteTarget& target, std::uint32_t start,
                     std::uint32_t timeoutMs)
{
    static constexpr struct {
        DWORD overlook;
        int code;
    } kFaults[] = {{SECURITY_FLAG_IGNORE_UNKNOWN_CA, kCertificateUntrusted},
                   {SECURITY_FLAG_IGNORE_CERT_CN_INVALID, kCertificateNameMismatch},
                   {SECURITY_FLAG_IGNORE_CERT_DATE_INVALID, kCertificateExpired}};
    DWORD overlooked = 0;
    for (const auto& fault : kFaults) {
        const std::uint32_t spent = network.NowMs() - start;
        if (spent >= timeoutMs)
            break;
        overlooked |= fault.overlook;
        int status = 0;
        if (RequestStatus(network, connection, target, L"HEAD", timeoutMs - spent, status, overlooked).code == kAnswered)
            return fault.code;
    }
    return kSecureChannelFailed;
}

}  // namespace

CheckOutcome WinHttpCheck(EchoNetwork& network, const SiteTarget& target, std::uint32_t timeoutMs)
{
    const WinHttp& http = Http();
    if (!http.Complete())
        return {kHttpStackMissing, 0, static_cast<long>(http.error), {}};
    // A direct connection, as the TCP check makes: the site itself is asked, not a proxy.
    const HttpHandle session(
        http.open(Wide(kUserAgent).c_str(), WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (session.Get() == nullptr)
        return {kHttpStackMissing, 0, static_cast<long>(::GetLastError()), {}};
    const HttpHandle connection(http.connect(session.Get(), ServerName(target).c_str(), target.port, 0));
    if (connection.Get() == nullptr)
        return {kMalformedAddress, 0, static_cast<long>(::GetLastError()), {}};

    const std::uint32_t start = network.NowMs();
    int status = 0;
    CheckOutcome outcome = RequestStatus(network, connection.Get(), target, L"HEAD", timeoutMs, status);
    const std::uint32_t spent = network.NowMs() - start;
    if (outcome.code == kAnswered && RefusesHead(status))
        outcome = spent < timeoutMs ? RequestStatus(network, connection.Get(), target, L"GET", timeoutMs - spent, status)
                                    : CheckOutcome{kTimedOut, 0, 0, outcome.address};
    if (outcome.code == kAnswered)
        outcome.code = StatusResult(status);
    else if (outcome.code == kSecureChannelFailed && target.kind == CheckKind::Https)
        outcome.code = CertificateFault(network, connection.Get(), target, start, timeoutMs);
    return outcome;
}

}  // namespace tarnel
