#include "engine/ResultText.h"

namespace tarnel {

std::string ResultText(int code)
{
    if (code >= kHttpStatusBase + 100 && code <= kHttpStatusBase + 999)
        return "HTTP " + std::to_string(code - kHttpStatusBase);
    switch (code) {
    case kAnswered: return {};
    case 1: return "network unavailable";
    case kNoSocket: return "no socket";
    case 3:
    case 4: return "socket setup failed";
    case kHostNotFound: return "host not found";
    case 6: return "out of memory";
    case kSendTimedOut: return "send timed out";
    case kSendFailed: return "send failed";
    case kTimedOut: return "timed out";
    case kReceiveFailed: return "receive failed";
    case 11: return "reply too short";
    case 12: return "not an echo reply";
    case 13: return "reply to another program";
    case kUnknownScheme: return "unknown scheme";
    case kMalformedAddress: return "malformed address";
    case kConnectionRefused: return "connection refused";
    case kHostUnreachable: return "host unreachable";
    case kConnectTimedOut: return "connection timed out";
    case kConnectFailed: return "connection failed";
    case kNoHttpResponse: return "no HTTP response";
    case kCertificateUntrusted: return "certificate not trusted";
    case kCertificateNameMismatch: return "certificate name mismatch";
    case kCertificateExpired: return "certificate expired";
    case kSecureChannelFailed: return "secure connection failed";
    case kHttpsUnsupported: return "HTTPS not supported on this platform";
    case kHttpStackMissing: return "HTTP stack unavailable";
    default: return "error " + std::to_string(code);
    }
}

}  // namespace tarnel
