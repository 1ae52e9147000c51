#pragma once
// The web hook: one POST of a round's notice to the user's address. What is sent, what the
// answer means to the user, and the order messages go in, kept while the connection is down
// and sent once it is back.

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "monitor/AlertText.h"
#include "monitor/Settings.h"

namespace corvale {

inline constexpr const char* kWebHookTestMessage = "Corvale test message";
// Messages kept while the connection is down, the outage's own included; beyond, the oldest go.
inline constexpr std::size_t kWebHookMaxKept = 50;
// The longest one message may take, from the start of its request to the answer's status.
inline constexpr unsigned kWebHookTimeoutMs = 10000;

struct WebHookMessage {
    std::string url;
    std::string body;         // UTF-8
    std::string contentType;  // "application/json" or "text/plain; charset=utf-8"
};

// The message for `fields` (NoticeFields of a round's notice): a body template starting with "{"
// (after any blanks) is JSON and gets its fields JSON-escaped; a blank one is the default.
WebHookMessage MakeWebHookMessage(std::string_view url, std::string_view bodyTemplate, const AlertFields& fields);
// The fields of the "Test" button's message, sent at `time` (IsoLocalTime).
AlertFields WebHookTestFields(std::string_view time);

// What came of one message: the HTTP status of the answer, or, without one, the engine's result
// code of the failure (engine/ResultText).
struct WebHookOutcome {
    int status = 0;
    int failure = 0;
};
// "Sent (HTTP 200)", "Refused: HTTP 403", "Failed: certificate not trusted".
std::string WebHookOutcomeText(const WebHookOutcome& outcome);

// Told the outcome's text once a message has been sent or has failed (not when it was dropped).
using WebHookDone = std::function<void(const std::string& outcome)>;

// The messages waiting for the sender, in order.
class WebHookQueue {
public:
    struct Item {
        WebHookMessage message;
        WebHookDone done;
    };

    // A message to send in turn; kept while the connection is down.
    void Add(Item item);
    // A message to send next, whatever the connection's state (the "Test" button's).
    void AddFirst(Item item);
    // The connection went down; `outage` tells so and goes first once it is back.
    void ConnectionDown(Item outage);
    // The connection is back: what was kept is due.
    void ConnectionUp();

    // The next message due, if any.
    std::optional<Item> Take();
    std::size_t Size() const { return urgent_.size() + items_.size(); }

private:
    std::deque<Item> urgent_;
    std::deque<Item> items_;
    bool held_ = false;
    std::optional<std::size_t> outageAt_;  // the outage's message within items_
};

}  // namespace corvale
