#pragma once
// The diagnostic texts of an echo exchange, shown only when messages are asked for.
// Every text fits the 200-byte message buffer; longer ones are cut, never overrun.

#include <cstdint>
#include <string>

namespace tarnel {

inline constexpr std::size_t kMessageBufferSize = 200;
inline constexpr const char* kMessageCaption = "tarnel";

// The failure text for a result code (1..13). `number` is the system or socket error, the
// ICMP type (12) or unused; `text` is the host text (5) or the source address (11).
std::string FailureMessage(int code, long number, const std::string& text);

// "Wrote %d bytes\n" for a send that went out short.
std::string ShortSendMessage(long bytesSent);

// The three-line text shown for a valid reply.
std::string SuccessMessage(long bytesReceived, const std::string& source, std::uint16_t sequence,
                           std::int32_t roundTripMs);

// The one text of a TCP or web check: how long it took the line's site to answer, or why it
// did not (the reason's text, and the system's error when there is one).
std::string CheckMessage(const std::string& line, int code, long systemError, std::int32_t elapsedMs);

// Only exactly 1 turns the message boxes on.
inline bool MessagesWanted(std::int32_t showMessages) { return showMessages == 1; }

}  // namespace tarnel
