#include "monitor/basTarnel.h"

#include <algorithm>
#include <cstdio>

#include "engine/SiteTarget.h"
#include "monitor/Conversions.h"

namespace corvale {

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

bool EngineBinding::Bind(const std::string& folder, EngineBindError* error) {
    if (Bound()) return true;
    if (const auto loaded = LoadEngineLibrary(folder, error)) entryPoints_ = *loaded;
    return Bound();
}

int EngineBinding::EngineStartDll() { return Bound() ? entryPoints_.StartDll() : -1; }
int EngineBinding::EngineStopDll() { return Bound() ? entryPoints_.StopDll() : -1; }

int EngineBinding::EnginePingStart(const std::string& siteText, int32_t timeoutMs) {
    if (!Bound()) return -1;
    const int16_t timeout = static_cast<int16_t>(std::clamp<int32_t>(timeoutMs, 0, INT16_MAX));
    return entryPoints_.PingStart(EngineHostText(siteText).c_str(), 64, static_cast<uint32_t>(timeout), 0);
}

int EngineBinding::EnginePingCheck(std::string& text, int32_t& roundTripMs, int32_t& resultCode) {
    if (!Bound()) return -1;
    char buffer[51];
    std::fill(buffer, buffer + 50, ' ');
    buffer[50] = '\0';
    const int result = entryPoints_.PingCheck(buffer, &roundTripMs, &resultCode);
    std::string value = TextBeforeNul(std::string_view(buffer, 50));
    const auto first = value.find_first_not_of(' ');
    const auto last = value.find_last_not_of(' ');
    text = first == std::string::npos ? std::string() : value.substr(first, last - first + 1);
    return result;
}

std::string SiteAddressText(std::string_view siteText) {
    if (siteText.find("://") == std::string_view::npos) return std::string(siteText);
    const tarnel::SiteTarget target = tarnel::ParseSiteTarget(siteText);
    return target.host.empty() ? std::string(siteText) : target.host;
}

}  // namespace corvale
