#include "monitor/WebHook.h"

#include "engine/ResultText.h"

namespace corvale {

WebHookMessage MakeWebHookMessage(std::string_view url, std::string_view bodyTemplate, const AlertFields& fields) {
    if (bodyTemplate.find_first_not_of(" \t\r\n") == std::string_view::npos) bodyTemplate = kDefaultWebHookBody;
    const bool json = bodyTemplate[bodyTemplate.find_first_not_of(" \t\r\n")] == '{';
    return {std::string(url), ExpandPlaceholders(bodyTemplate, fields, json),
            json ? "application/json" : "text/plain; charset=utf-8"};
}

AlertFields WebHookTestFields(std::string_view time) {
    AlertFields fields;
    fields.time = time;
    fields.message = kWebHookTestMessage;
    return fields;
}

std::string WebHookOutcomeText(const WebHookOutcome& outcome) {
    if (outcome.status >= 200 && outcome.status <= 299) return "Sent (HTTP " + std::to_string(outcome.status) + ")";
    if (outcome.status != 0) return "Refused: HTTP " + std::to_string(outcome.status);
    return "Failed: " + tarnel::ResultText(outcome.failure);
}

void WebHookQueue::Add(Item item) {
    items_.push_back(std::move(item));
    // While they are kept, the oldest go, never the outage's own message.
    while (held_ && items_.size() > kWebHookMaxKept) {
        const std::size_t oldest = outageAt_ == 0u ? 1 : 0;
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(oldest));
        if (outageAt_ && *outageAt_ > oldest) --*outageAt_;
    }
}

void WebHookQueue::AddFirst(Item item) { urgent_.push_back(std::move(item)); }

void WebHookQueue::ConnectionDown(Item outage) {
    if (held_) return;  // already down: the first outage message tells it
    held_ = true;
    outageAt_ = items_.size();
    Add(std::move(outage));
}

void WebHookQueue::ConnectionUp() {
    held_ = false;
    outageAt_.reset();
}

std::optional<WebHookQueue::Item> WebHookQueue::Take() {
    std::deque<Item>& from = !urgent_.empty() ? urgent_ : items_;
    if (from.empty() || (&from == &items_ && held_)) return std::nullopt;
    Item next = std::move(from.front());
    from.pop_front();
    return next;
}

}  // namespace corvale
