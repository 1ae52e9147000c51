#pragma once
// Where the connection breaks when no site answers: the computer has no network, the router
// does not answer, names do not resolve, or the way beyond the router is down. Judged at the
// end of a round in which every site failed, from the default route read at that moment, one
// echo to its router and the result codes of the round's checks.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "monitor/DefaultRoute.h"

namespace corvale {

struct ConnectionVerdict {
    enum class Kind {
        NoNetwork,        // no default route
        RouterSilent,     // the router does not answer
        NamesUnresolved,  // the router answers, and every failed check failed to resolve its name
        BeyondRouter,     // the router answers
        Undetermined,     // no router to ask (a point-to-point link), or the routing table unreadable
    };
    Kind kind = Kind::Undetermined;
    std::string router;  // the router asked, for the notice
    bool operator==(const ConnectionVerdict&) const = default;
};

// The first that holds of: no default route, the router silent, every failure a name that did
// not resolve, the router answering. `routerAnswers` is read only when the route has a router.
ConnectionVerdict JudgeConnection(const DefaultRoute& route, bool routerAnswers,
                                  std::span<const std::int32_t> failureCodes);

// The line of the connection notice.
std::string VerdictNotice(const ConnectionVerdict& verdict);
// The state line of the notification-area icon's tip; empty when the verdict adds nothing to
// the usual summary of the sites.
std::string_view VerdictStateLine(const ConnectionVerdict& verdict);
// The outage log's cause of a whole-connection outage; empty when undetermined.
std::string_view VerdictCause(const ConnectionVerdict& verdict);

}  // namespace corvale
