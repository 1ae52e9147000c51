#pragma once
// What a line of the site list asks to be checked, read from its text: a line without a scheme
// is pinged exactly as written; "tcp://host:port" is a TCP connection; "http://host[:port]/path"
// and "https://..." one web request. Plain computation, so it builds and is tested everywhere.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnel {

enum class CheckKind { Ping, Tcp, Http, Https };

struct SiteTarget {
    CheckKind kind = CheckKind::Ping;
    std::string host;         // ASCII; an IPv6 address without its brackets, with "%zone" if it has one
    std::uint16_t port = 0;
    std::string path;         // the request target (path and query), "/" at least; web checks only
    int failure = 0;          // the result code of a line that cannot be checked, else 0
};

// A line with "://" in it is read as an address with a scheme; any other line is pinged.
SiteTarget ParseSiteTarget(std::string_view line);

// The Host header of a web request: the host (in brackets when IPv6) and the port when it is
// not the scheme's own.
std::string HostHeader(const SiteTarget& target);

// How a web request names its program to the server.
inline constexpr const char* kUserAgent = "Corvale";

// A server that answers HEAD with 405 (method not allowed) or 501 (not implemented) is asked
// again with GET.
inline bool RefusesHead(int status) { return status == 405 || status == 501; }

// The result code of an HTTP status: below 400 the site answers (0), else the status's own code.
int StatusResult(int status);

// The status of an HTTP response's status line ("HTTP/1.1 503 ..."): 100..999. 0 while the
// line has not ended yet; -1 when the text is not an HTTP status line.
int ReadStatusLine(std::string_view received);

// The status of the final response in what a server sent so far: interim responses (1xx but
// 101, such as "100 Continue" or "103 Early Hints") are passed over with their header lines.
// As ReadStatusLine: 0 while the final status line has not ended yet, -1 for what is not HTTP.
int ReadFinalStatus(std::string_view received);

}  // namespace tarnel
