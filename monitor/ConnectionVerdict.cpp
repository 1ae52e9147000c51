#include "monitor/ConnectionVerdict.h"

#include <algorithm>

#include "engine/ResultText.h"
#include "monitor/SiteNotices.h"

namespace corvale {

ConnectionVerdict JudgeConnection(const DefaultRoute& route, bool routerAnswers,
                                  std::span<const std::int32_t> failureCodes) {
    using Kind = ConnectionVerdict::Kind;
    switch (route.kind) {
    case DefaultRoute::Kind::None: return {Kind::NoNetwork, {}};
    case DefaultRoute::Kind::Unknown:
    case DefaultRoute::Kind::OnLink: return {Kind::Undetermined, {}};
    case DefaultRoute::Kind::ViaRouter: break;
    }
    if (!routerAnswers) return {Kind::RouterSilent, route.router};
    // "Host not found" is the one code of a name that did not resolve, whatever the kind of check.
    const bool namesOnly = !failureCodes.empty() &&
                           std::all_of(failureCodes.begin(), failureCodes.end(),
                                       [](std::int32_t code) { return code == tarnel::kHostNotFound; });
    return {namesOnly ? Kind::NamesUnresolved : Kind::BeyondRouter, route.router};
}

std::string VerdictNotice(const ConnectionVerdict& verdict) {
    switch (verdict.kind) {
    case ConnectionVerdict::Kind::NoNetwork: return "No site answers: this computer has no network connection";
    case ConnectionVerdict::Kind::RouterSilent:
        return "No site answers, nor does your router (" + verdict.router + "): the local network is down";
    case ConnectionVerdict::Kind::NamesUnresolved:
        return "No site answers: names cannot be resolved (the name server does not answer)";
    case ConnectionVerdict::Kind::BeyondRouter:
        return "No site answers; your router (" + verdict.router + ") answers: the connection beyond it is down";
    case ConnectionVerdict::Kind::Undetermined: break;
    }
    return kConnectionDownText;
}

std::string_view VerdictStateLine(const ConnectionVerdict& verdict) {
    switch (verdict.kind) {
    case ConnectionVerdict::Kind::NoNetwork: return "No site answers: no network connection";
    case ConnectionVerdict::Kind::RouterSilent: return "No site answers: router does not answer";
    case ConnectionVerdict::Kind::NamesUnresolved: return "No site answers: names cannot be resolved";
    case ConnectionVerdict::Kind::BeyondRouter: return "No site answers: router answers, connection beyond it down";
    case ConnectionVerdict::Kind::Undetermined: break;
    }
    return {};
}

std::string_view VerdictCause(const ConnectionVerdict& verdict) {
    switch (verdict.kind) {
    case ConnectionVerdict::Kind::NoNetwork: return "no network";
    case ConnectionVerdict::Kind::RouterSilent: return "router";
    case ConnectionVerdict::Kind::NamesUnresolved: return "names";
    case ConnectionVerdict::Kind::BeyondRouter: return "beyond router";
    case ConnectionVerdict::Kind::Undetermined: break;
    }
    return {};
}

}  // namespace corvale
