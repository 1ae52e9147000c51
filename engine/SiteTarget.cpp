#include "engine/SiteTarget.h"

#include "engine/ResultText.h"

#include <cstdio>

namespace tarnel {

namespace {

constexpr std::string_view kSchemeSeparator = "://";
constexpr std::uint16_t kHttpPort = 80;
constexpr std::uint16_t kHttpsPort = 443;

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsHostCharacter(char c) { return IsAsciiLetter(c) || IsDigit(c) || c == '-' || c == '.' || c == '_'; }

std::string_view TrimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A scheme as URLs have it: a letter, then letters, digits, "+", "-" and ".".
bool IsScheme(std::string_view text)
{
    if (text.empty() || !IsAsciiLetter(text[0]))
        return false;
    for (char c : text)
        if (!IsAsciiLetter(c) && !IsDigit(c) && c != '+' && c != '-' && c != '.')
            return false;
    return true;
}

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// 1..65535 in at most five digits; 0 for anything else.
std::uint16_t ReadPort(std::string_view text)
{
    if (text.empty() || text.size() > 5)
        return 0;
    unsigned value = 0;
    for (char c : text) {
        if (!IsDigit(c))
            return 0;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value <= 65535 ? static_cast<std::uint16_t>(value) : 0;
}

// The inside of "[...]": an IPv6 address, with a zone after "%" (written "%25" in a URL).
bool ReadBracketedHost(std::string_view inside, std::string& host)
{
    std::string text(inside);
    if (const std::size_t encoded = text.find("%25"); encoded != std::string::npos)
        text.erase(encoded + 1, 2);
    const std::size_t zone = text.find('%');
    const std::string_view address = std::string_view(text).substr(0, zone);
    if (address.find(':') == std::string_view::npos)
        return false;
    for (char c : address)
        if (!IsHexDigit(c) && c != ':' && c != '.')
            return false;
    if (zone != std::string::npos) {
        const std::string_view name = std::string_view(text).substr(zone + 1);
        if (name.empty())
            return false;
        for (char c : name)
            if (!IsHostCharacter(c))
                return false;
    }
    host = text;
    return true;
}

// "host", "host:port", "[v6]" or "[v6]:port"; no user information. A missing port stays 0.
bool ReadAuthority(std::string_view authority, SiteTarget& target)
{
    std::string_view portText;
    bool hasPort = false;
    if (!authority.empty() && authority[0] == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos || !ReadBracketedHost(authority.substr(1, close - 1), target.host))
            return false;
        const std::string_view after = authority.substr(close + 1);
        if (!after.empty() && after[0] != ':')
            return false;
        hasPort = !after.empty();
        portText = hasPort ? after.substr(1) : std::string_view();
    } else {
        const std::size_t colon = authority.find(':');
        const std::string_view host = authority.substr(0, colon);
        if (host.empty())
            return false;
        for (char c : host)
            if (!IsHostCharacter(c))
                return false;
        target.host = std::string(host);
        hasPort = colon != std::string_view::npos;
        // Past a second colon (an IPv6 address without its brackets) there is no port to read.
        portText = hasPort ? authority.substr(colon + 1) : std::string_view();
    }
    if (!hasPort)
        return true;
    target.port = ReadPort(portText);
    return target.port != 0;
}

// The path and query as they go on the request line: the fragment dropped, spaces and bytes
// beyond ASCII percent-encoded. Control characters have no place in it (they would end the line).
bool ReadRequestTarget(std::string_view tail, std::string& path)
{
    tail = tail.substr(0, tail.find('#'));
    path = tail.empty() || tail[0] != '/' ? "/" : "";
    for (char c : tail) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return false;
        if (byte == ' ' || byte >= 0x80) {
            char encoded[4];
            std::snprintf(encoded, sizeof encoded, "%%%02X", byte);
            path += encoded;
        } else {
            path += c;
        }
    }
    return true;
}

SiteTarget Failed(int code)
{
    SiteTarget target;
    target.failure = code;
    return target;
}

}  // namespace

SiteTarget ParseSiteTarget(std::string_view line)
{
    if (line.find(kSchemeSeparator) == std::string_view::npos)
        return {};
    const std::string_view text = TrimBlanks(line);
    const std::size_t separator = text.find(kSchemeSeparator);
    const std::string_view scheme = text.substr(0, separator);
    if (!IsScheme(scheme))
        return Failed(kMalformedAddress);
    SiteTarget target;
    const std::string name = Lower(scheme);
    if (name == "tcp")
        target.kind = CheckKind::Tcp;
    else if (name == "http")
        target.kind = CheckKind::Http;
    else if (name == "https")
        target.kind = CheckKind::Https;
    else
        return Failed(kUnknownScheme);

    const std::string_view rest = text.substr(separator + kSchemeSeparator.size());
    const std::size_t authorityEnd = rest.find_first_of("/?#");
    const std::string_view tail = authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);
    if (!ReadAuthority(rest.substr(0, authorityEnd), target))
        return Failed(kMalformedAddress);
    if (target.kind == CheckKind::Tcp) {
        // A port to connect to, and nothing to ask of it.
        if (target.port == 0 || !(tail.empty() || tail == "/"))
            return Failed(kMalformedAddress);
        return target;
    }
    if (target.port == 0)
        target.port = target.kind == CheckKind::Https ? kHttpsPort : kHttpPort;
    if (!ReadRequestTarget(tail, target.path))
        return Failed(kMalformedAddress);
    return target;
}

std::string HostHeader(const SiteTarget& target)
{
    // A zone only means something on this machine; it is never sent.
    std::string host = target.host.substr(0, target.host.find('%'));
    if (host.find(':') != std::string::npos)
        host = "[" + host + "]";
    const std::uint16_t defaultPort = target.kind == CheckKind::Https ? kHttpsPort : kHttpPort;
    return target.port == defaultPort ? host : host + ":" + std::to_string(target.port);
}

int StatusResult(int status)
{
    return status < 400 ? kAnswered : HttpStatusCode(status);
}

int ReadStatusLine(std::string_view received)
{
    constexpr std::string_view kPrefix = "HTTP/";
    if (received.substr(0, kPrefix.size()) != kPrefix.substr(0, received.size()))
        return -1;
    const std::size_t end = received.find('\n');
    if (end == std::string_view::npos)
        return 0;
    std::string_view line = received.substr(0, end);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos || line.size() < space + 4)
        return -1;
    const std::string_view digits = line.substr(space + 1, 3);
    if (!IsDigit(digits[0]) || !IsDigit(digits[1]) || !IsDigit(digits[2]) ||
        (line.size() > space + 4 && line[space + 4] != ' '))
        return -1;
    const int status = (digits[0] - '0') * 100 + (digits[1] - '0') * 10 + (digits[2] - '0');
    return status >= 100 ? status : -1;
}

namespace {

// Where the response head that starts `received` ends (after its empty line); npos while it has
// not ended yet. The status line is known to have ended.
std::size_t EndOfHead(std::string_view received)
{
    std::size_t lineStart = received.find('\n') + 1;
    for (;;) {
        const std::size_t lineEnd = received.find('\n', lineStart);
        if (lineEnd == std::string_view::npos)
            return std::string_view::npos;
        const std::string_view line = received.substr(lineStart, lineEnd - lineStart);
        if (line.empty() || line == "\r")
            return lineEnd + 1;
        lineStart = lineEnd + 1;
    }
}

}  // namespace

int ReadFinalStatus(std::string_view received)
{
    for (;;) {
        const int status = ReadStatusLine(received);
        if (status <= 0 || status >= 200 || status == 101)
            return status;
        const std::size_t end = EndOfHead(received);
        if (end == std::string_view::npos)
            return 0;
        received.remove_prefix(end);
    }
}

}  // namespace tarnel
