#include "engine/EchoMessages.h"

#include "engine/ResultText.h"

#include <cstdarg>
#include <cstdio>

namespace tarnel {

namespace {

// Formats into the fixed message buffer; vsnprintf cuts what does not fit and always ends the text.
std::string Format(const char* format, ...)
{
    char buffer[kMessageBufferSize];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (written < 0)
        return {};
    return buffer;
}

}  // namespace

std::string FailureMessage(int code, long number, const std::string& text)
{
    switch (code) {
    case 1: return Format("WSAStartup failed: %ld\n", number);
    case 2: return Format("WSASocket() failed: %ld\n", number);
    case 3: return Format("failed to set recv timeout: %ld\n", number);
    case 4: return Format("failed to set send timeout: %ld\n", number);
    case 5: return Format("Unable to resolve %s\n", text.c_str());
    case 6: return Format("HeapAlloc failed %ld\n", number);
    case 7:
    case 9: return Format("timed out\n");
    case 8: return Format("sendto failed: %ld\n", number);
    case 10: return Format("recvfrom failed: %ld\n", number);
    case 11: return Format("Too few bytes from %s\n", text.c_str());
    case 12: return Format("non-echo type %ld recvd\n", number);
    case 13: return Format("someone else's packet!\n");
    default: return {};
    }
}

std::string ShortSendMessage(long bytesSent)
{
    return Format("Wrote %ld bytes\n", bytesSent);
}

std::string CheckMessage(const std::string& line, int code, long systemError, std::int32_t elapsedMs)
{
    // The line last, so that a long one is what the buffer cuts.
    if (code == 0)
        return Format("answered in %ld ms: %s\n", static_cast<long>(elapsedMs), line.c_str());
    const std::string reason = ResultText(code);
    return systemError != 0 ? Format("%s (%ld): %s\n", reason.c_str(), systemError, line.c_str())
                            : Format("%s: %s\n", reason.c_str(), line.c_str());
}

std::string SuccessMessage(long bytesReceived, const std::string& source, std::uint16_t sequence,
                           std::int32_t roundTripMs)
{
    // Each line appends to the text so far, so a cut lands at the end, as in one buffer.
    std::string text = Format("%ld bytes from %s\r\n", bytesReceived, source.c_str());
    text = Format("%s icmp_seq = %u\r\n", text.c_str(), static_cast<unsigned>(sequence));
    return Format("%s time: %ld ms ", text.c_str(), static_cast<long>(roundTripMs));
}

}  // namespace tarnel
