// The web hook's thread and its POST over WinHTTP. WinHTTP is not one of the system's known
// DLLs, so it is loaded from the system folder by the thread's first message, never imported.
// Requests run in the stack's asynchronous mode: the thread waits for their events on a
// condition of its own, which the end and the message's deadline can cut short, and every call
// on a request handle, its closing included, is made by this one thread.

#include "monitor/WebHookSender.h"

#include <windows.h>
#include <winhttp.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "engine/ResultText.h"
#include "engine/SiteTarget.h"
#include "engine/SystemLibrary.h"
#include "engine/WinHttpFailure.h"
#include "monitor/WideText.h"

namespace corvale {
namespace {

struct WinHttp {
    // Never freed: the stack's own threads may still be closing a request given up at the end.
    const tarnel::SystemLibrary& library = *new tarnel::SystemLibrary(L"winhttp.dll");
    template <typename Function>
    Function Find(const char* name) const { return library.Find<Function>(name); }

    decltype(&::WinHttpOpen) open = Find<decltype(open)>("WinHttpOpen");
    decltype(&::WinHttpConnect) connect = Find<decltype(connect)>("WinHttpConnect");
    decltype(&::WinHttpOpenRequest) openRequest = Find<decltype(openRequest)>("WinHttpOpenRequest");
    decltype(&::WinHttpSetOption) setOption = Find<decltype(setOption)>("WinHttpSetOption");
    decltype(&::WinHttpSetTimeouts) setTimeouts = Find<decltype(setTimeouts)>("WinHttpSetTimeouts");
    decltype(&::WinHttpSetStatusCallback) setStatusCallback = Find<decltype(setStatusCallback)>("WinHttpSetStatusCallback");
    decltype(&::WinHttpSendRequest) sendRequest = Find<decltype(sendRequest)>("WinHttpSendRequest");
    decltype(&::WinHttpReceiveResponse) receiveResponse = Find<decltype(receiveResponse)>("WinHttpReceiveResponse");
    decltype(&::WinHttpQueryHeaders) queryHeaders = Find<decltype(queryHeaders)>("WinHttpQueryHeaders");
    decltype(&::WinHttpCloseHandle) closeHandle = Find<decltype(closeHandle)>("WinHttpCloseHandle");

    bool Complete() const {
        return open && connect && openRequest && setOption && setTimeouts && setStatusCallback && sendRequest &&
               receiveResponse && queryHeaders && closeHandle;
    }
};

// A session, connection or request handle, closed when it goes.
class HttpHandle {
public:
    HttpHandle(const WinHttp& http, HINTERNET handle) : http_(http), handle_(handle) {}
    ~HttpHandle() {
        if (handle_ != nullptr) http_.closeHandle(handle_);
    }
    HttpHandle(const HttpHandle&) = delete;
    HttpHandle& operator=(const HttpHandle&) = delete;
    HINTERNET Get() const { return handle_; }

private:
    const WinHttp& http_;
    HINTERNET handle_;
};

// What the stack tells of one request. The stack holds a reference of its own, from the
// request's opening to its handle's closing, as its events may come on its own threads.
struct Exchange {
    std::mutex lock;
    std::condition_variable changed;
    bool connected = false;
    bool sent = false;       // the request and its body went out
    bool answered = false;   // the answer's headers are in
    bool failed = false;
    bool givenUp = false;    // the sender is ending
    DWORD error = 0;
    DWORD secureFailure = 0;  // WINHTTP_CALLBACK_STATUS_FLAG_... of a failed handshake
    // What the stack may still read until the handle's closing, however early the sender gives up.
    std::wstring headers;
    std::string body;
};
using ExchangeReference = std::shared_ptr<Exchange>;

void CALLBACK OnRequestEvent(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information, DWORD length) {
    auto* reference = reinterpret_cast<ExchangeReference*>(context);
    if (reference == nullptr) return;
    if (status == WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING) {
        delete reference;  // the stack's last word on this request
        return;
    }
    Exchange& exchange = **reference;
    {
        std::lock_guard<std::mutex> guard(exchange.lock);
        switch (status) {
        case WINHTTP_CALLBACK_STATUS_CONNECTED_TO_SERVER: exchange.connected = true; break;
        case WINHTTP_CALLBACK_STATUS_SECURE_FAILURE:
            if (information != nullptr && length >= sizeof(DWORD))
                exchange.secureFailure = *static_cast<const DWORD*>(information);
            break;
        case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE: exchange.sent = true; break;
        case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE: exchange.answered = true; break;
        case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
            exchange.failed = true;
            if (information != nullptr) exchange.error = static_cast<const WINHTTP_ASYNC_RESULT*>(information)->dwError;
            break;
        default: return;
        }
    }
    exchange.changed.notify_all();
}

// The target's texts are ASCII (the address's reading makes them so).
std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

}  // namespace

struct WebHookSender::Shared {
    std::mutex lock;  // guards the queue, `stop` and `current`
    std::condition_variable wake;
    WebHookQueue queue;
    bool stop = false;
    std::shared_ptr<Exchange> current;  // the request under way, for the end to cut its wait short

    std::unique_ptr<WinHttp> http;  // the thread's own, bound by its first message

    // Wakes the thread, and cuts short its wait for the request under way; `lock` held.
    void Stop() {
        stop = true;
        if (current) {
            std::lock_guard<std::mutex> guard(current->lock);
            current->givenUp = true;
            current->changed.notify_all();
        }
        wake.notify_all();
    }

    void Run();
    WebHookOutcome Post(const WebHookMessage& message);
    WebHookOutcome Deliver(HINTERNET connection, const tarnel::SiteTarget& target, const WebHookMessage& message);
};

WebHookOutcome WebHookSender::Shared::Deliver(HINTERNET connection, const tarnel::SiteTarget& target,
                                               const WebHookMessage& message) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWebHookTimeoutMs);
    auto exchange = std::make_shared<Exchange>();
    exchange->headers = L"Content-Type: " + Widen(message.contentType);
    exchange->body = message.body;
    {
        std::lock_guard<std::mutex> guard(lock);
        current = exchange;
        exchange->givenUp = stop;
    }
    const HttpHandle request(*http, http->openRequest(connection, L"POST", Wide(target.path).c_str(), nullptr,
                                                      WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                      target.kind == tarnel::CheckKind::Https ? WINHTTP_FLAG_SECURE : 0));
    if (request.Get() == nullptr) return {0, tarnel::kConnectFailed};
    auto* reference = new ExchangeReference(exchange);
    auto context = reinterpret_cast<DWORD_PTR>(reference);
    if (http->setStatusCallback(request.Get(), OnRequestEvent,
                                WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES |
                                    WINHTTP_CALLBACK_FLAG_CONNECT_TO_SERVER | WINHTTP_CALLBACK_FLAG_SECURE_FAILURE,
                                0) == WINHTTP_INVALID_STATUS_CALLBACK ||
        !http->setOption(request.Get(), WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context)) {
        delete reference;  // the stack will not call back with it
        return {0, tarnel::kHttpStackMissing};
    }
    // A redirect is an answer: the message goes to the address given, nowhere else.
    DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
    http->setOption(request.Get(), WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof noRedirects);
    const int timeout = static_cast<int>(kWebHookTimeoutMs);
    http->setTimeouts(request.Get(), timeout, timeout, timeout, timeout);

    // Waits for `done` until the deadline; false when it did not come (or the sender is ending).
    const auto await = [&](bool Exchange::*done) {
        std::unique_lock<std::mutex> guard(exchange->lock);
        exchange->changed.wait_until(guard, deadline,
                                     [&] { return (*exchange).*done || exchange->failed || exchange->givenUp; });
        return (*exchange).*done && !exchange->givenUp;
    };
    const auto failure = [&](DWORD error) -> WebHookOutcome {
        std::lock_guard<std::mutex> guard(exchange->lock);
        if (!exchange->failed && error == 0)  // the time ran out
            return {0, exchange->connected ? tarnel::kTimedOut : tarnel::kConnectTimedOut};
        return {0, tarnel::FailureCode(exchange->failed ? exchange->error : error, exchange->connected, exchange->secureFailure)};
    };

    const auto size = static_cast<DWORD>(exchange->body.size());
    if (!http->sendRequest(request.Get(), exchange->headers.c_str(), static_cast<DWORD>(-1), exchange->body.data(),
                           size, size, context))
        return failure(GetLastError());
    if (!await(&Exchange::sent)) return failure(0);
    if (!http->receiveResponse(request.Get(), nullptr)) return failure(GetLastError());
    if (!await(&Exchange::answered)) return failure(0);
    DWORD status = 0;
    DWORD length = sizeof status;
    if (!http->queryHeaders(request.Get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &status, &length, WINHTTP_NO_HEADER_INDEX))
        return {0, tarnel::kNoHttpResponse};
    return {static_cast<int>(status), 0};
}

WebHookOutcome WebHookSender::Shared::Post(const WebHookMessage& message) {
    if (!http) http = std::make_unique<WinHttp>();
    if (!http->Complete()) return {0, tarnel::kHttpStackMissing};
    const tarnel::SiteTarget target = tarnel::ParseSiteTarget(message.url);
    if (target.failure != 0) return {0, target.failure};
    if (target.kind != tarnel::CheckKind::Http && target.kind != tarnel::CheckKind::Https)
        return {0, target.kind == tarnel::CheckKind::Ping ? tarnel::kMalformedAddress : tarnel::kUnknownScheme};
    // Through the proxy the user's system names, as any program's own messages go.
    const HttpHandle session(*http, http->open(Wide(tarnel::kUserAgent).c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                               WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC));
    if (session.Get() == nullptr) return {0, tarnel::kHttpStackMissing};
    // WinHTTP takes an IPv6 address in brackets.
    const std::wstring server =
        target.host.find(':') != std::string::npos ? L"[" + Wide(target.host) + L"]" : Wide(target.host);
    const HttpHandle connection(*http, http->connect(session.Get(), server.c_str(), target.port, 0));
    if (connection.Get() == nullptr) return {0, tarnel::kMalformedAddress};
    return Deliver(connection.Get(), target, message);
}

void WebHookSender::Shared::Run() {
    for (;;) {
        std::optional<WebHookQueue::Item> item;
        {
            std::unique_lock<std::mutex> guard(lock);
            wake.wait(guard, [&] { return stop || (item = queue.Take()).has_value(); });
            if (stop) return;
        }
        const WebHookOutcome outcome = Post(item->message);
        std::lock_guard<std::mutex> guard(lock);
        current.reset();
        // Told while the end waits for this thread, never after it.
        if (item->done && !stop) item->done(WebHookOutcomeText(outcome));
    }
}

WebHookSender::WebHookSender() : shared_(std::make_unique<Shared>()) {}

WebHookSender::~WebHookSender() {
    if (!worker_.joinable()) return;
    {
        std::lock_guard<std::mutex> guard(shared_->lock);
        shared_->Stop();
    }
    worker_.join();
}

void WebHookSender::Start() {
    if (!worker_.joinable()) worker_ = std::thread([shared = shared_.get()] { shared->Run(); });
}

void WebHookSender::Send(WebHookMessage message, WebHookDone done) {
    Start();
    std::lock_guard<std::mutex> guard(shared_->lock);
    shared_->queue.Add({std::move(message), std::move(done)});
    shared_->wake.notify_all();
}

void WebHookSender::SendTest(WebHookMessage message, WebHookDone done) {
    Start();
    std::lock_guard<std::mutex> guard(shared_->lock);
    shared_->queue.AddFirst({std::move(message), std::move(done)});
    shared_->wake.notify_all();
}

void WebHookSender::ConnectionDown(WebHookMessage outage) {
    Start();
    std::lock_guard<std::mutex> guard(shared_->lock);
    shared_->queue.ConnectionDown({std::move(outage), {}});
    shared_->wake.notify_all();
}

void WebHookSender::ConnectionUp() {
    std::lock_guard<std::mutex> guard(shared_->lock);
    shared_->queue.ConnectionUp();
    shared_->wake.notify_all();
}

}  // namespace corvale
