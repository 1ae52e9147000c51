#include "monitor/basTarnel.h"

#include <algorithm>
#include <cstdio>

#include "monitor/Conversions.h"

namespace corvale {
namespace {

EngineEntryPoints& EntryPoints() {
    static EngineEntryPoints entryPoints;
    return entryPoints;
}

}  // namespace

std::string WebPathInAscii(std::string_view siteText) {
    const std::size_t scheme = siteText.find("://");
    if (scheme == std::string_view::npos) return std::string(siteText);
    const std::size_t path = siteText.find_first_of("/?#", scheme + 3);
    std::string line(siteText.substr(0, path));
    if (path == std::string_view::npos) return line;
    for (char c : siteText.substr(path)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            line += c;
            continue;
        }
        char encoded[4];
        std::snprintf(encoded, sizeof encoded, "%%%02X", byte);
        line += encoded;
    }
    return line;
}

bool EngineBound() { return EntryPoints().Complete(); }
const EngineEntryPoints& Engine() { return EntryPoints(); }
void UseEngine(const EngineEntryPoints& entryPoints) { EntryPoints() = entryPoints; }

int EngineStartDll() { return EngineBound() ? Engine().StartDll() : -1; }
int EngineStopDll() { return EngineBound() ? Engine().StopDll() : -1; }

int EnginePingStart(const SiteRecord& site, int32_t timeoutMs) {
    if (!EngineBound()) return -1;
    const int16_t timeout = static_cast<int16_t>(std::clamp<int32_t>(timeoutMs, 0, INT16_MAX));
    return Engine().PingStart(EngineHostText(site.Url).c_str(), 64, static_cast<uint32_t>(timeout), 0);
}

int EnginePingCheck(std::string& text, int32_t& roundTripMs, int32_t& resultCode) {
    if (!EngineBound()) return -1;
    char buffer[51];
    std::fill(buffer, buffer + 50, ' ');
    buffer[50] = '\0';
    const int result = Engine().PingCheck(buffer, &roundTripMs, &resultCode);
    std::string value = TextBeforeNul(std::string_view(buffer, 50));
    const auto first = value.find_first_not_of(' ');
    const auto last = value.find_last_not_of(' ');
    text = first == std::string::npos ? std::string() : value.substr(first, last - first + 1);
    return result;
}

}  // namespace corvale
