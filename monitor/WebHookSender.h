#pragma once
// "Send to a web address" (Windows): each message POSTed over the system's HTTP stack by one
// thread of its own, one at a time and in order, so the user-interface thread never waits on the
// network. The system's certificate checks always apply; a message has 10 seconds from the start
// of its request to the answer's status. While the connection is down messages are kept (at most
// 50) and sent once it is back, the outage's message first.

#include <memory>
#include <thread>

#include "monitor/WebHook.h"

namespace corvale {

class WebHookSender {
public:
    WebHookSender();
    // Stops the thread at once: a message under way is given up. No `done` runs afterwards.
    ~WebHookSender();
    WebHookSender(const WebHookSender&) = delete;
    WebHookSender& operator=(const WebHookSender&) = delete;

    // A round's notice (MakeWebHookMessage), sent in turn. `done`, when given, is told the outcome
    // (WebHookOutcomeText) on the sender's thread: it must return quickly and not call the sender
    // (post it to a window).
    void Send(WebHookMessage message, WebHookDone done = {});
    // The "Test" button's message: sent next, even while the connection is down.
    void SendTest(WebHookMessage message, WebHookDone done);
    // The connection went down: `outage` is the notice that says so; it and the messages after it
    // are kept until ConnectionUp.
    void ConnectionDown(WebHookMessage outage);
    void ConnectionUp();

private:
    struct Shared;
    void Start();

    std::unique_ptr<Shared> shared_;
    std::thread worker_;
};

}  // namespace corvale
