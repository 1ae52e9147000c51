#pragma once
// The result codes a check reports through PingCheck, and the short reason each one gives a
// person (a failed site's tooltip). Plain computation, compiled into the program as well.
//
// 0 is an answer; 1..13 are the echo exchange's own failures; the codes from 14 on belong to
// the checks of tcp://, http:// and https:// lines. An HTTP status of 400 or more travels in the
// code itself, as kHttpStatusBase + status, so "HTTP 503" needs no text across the boundary.

#include <string>

namespace tarnel {

enum ResultCode : int {
    kAnswered = 0,
    kNoSocket = 2,
    kHostNotFound = 5,
    kSendTimedOut = 7,
    kSendFailed = 8,
    kTimedOut = 9,
    kReceiveFailed = 10,
    kUnknownScheme = 14,
    kMalformedAddress = 15,
    kConnectionRefused = 16,
    kHostUnreachable = 17,
    kConnectTimedOut = 18,
    kConnectFailed = 19,
    kNoHttpResponse = 20,
    kCertificateUntrusted = 21,
    kCertificateNameMismatch = 22,
    kCertificateExpired = 23,
    kSecureChannelFailed = 24,
    kHttpsUnsupported = 25,
    kHttpStackMissing = 26,
    kHttpStatusBase = 1000,
};

// The code of an HTTP status that fails a check (400 to 999).
inline int HttpStatusCode(int status) { return kHttpStatusBase + status; }

// "connection refused", "HTTP 503" and the like; empty for 0, "error N" for a code it does not know.
std::string ResultText(int code);

}  // namespace tarnel
