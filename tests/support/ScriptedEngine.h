#pragma once
// A scripted stand-in for the engine library: the four entry points over a per-host script,
// put in place of the library through the program's binding.

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "engine/Tarnel.h"
#include "monitor/basTarnel.h"

namespace corvale {

// One engine for the whole process, as the library is: scripted per host.
struct ScriptedEngine {
    struct Reply {
        int32_t roundTripMs = 10;
        int32_t code = 0;
    };
    std::map<std::string, Reply> replies;
    int startResult = 0;  // what PingStart returns
    int busyPolls = 0;    // PingCheck reports busy this many times after each accepted start
    int busyLeft = 0;
    std::vector<std::string> started;  // the requests accepted
    int startCalls = 0;                // every PingStart, accepted or not
    std::string current;
    uint32_t lastPayload = 0, lastTimeout = 0;
    int32_t lastShowMessages = -1;
    std::string checkText;  // what PingCheck leaves in the text buffer

    int stops = 0;
    int busyChecksAtStop = -1;  // PingCheck calls that answered busy before StopDll
    int busyChecks = 0;

    static ScriptedEngine& Get() {
        static ScriptedEngine engine;
        return engine;
    }
    // A fresh script, and its entry points for a binding to use.
    static EngineEntryPoints Install() {
        Get() = ScriptedEngine{};
        return {&ScriptedEngine::StartDll, &ScriptedEngine::StopDll, &ScriptedEngine::PingStart,
                &ScriptedEngine::PingCheck};
    }
    static int TARNEL_CALL StartDll() { return 0; }
    static int TARNEL_CALL StopDll() {
        ScriptedEngine& e = Get();
        ++e.stops;
        if (e.busyChecksAtStop < 0) e.busyChecksAtStop = e.busyChecks;
        return 0;
    }
    static int TARNEL_CALL PingStart(const char* host, uint32_t payload, uint32_t timeout, int32_t show) {
        ScriptedEngine& e = Get();
        if (e.busyLeft > 0) return 1;
        e.lastPayload = payload;
        e.lastTimeout = timeout;
        e.lastShowMessages = show;
        ++e.startCalls;
        if (e.startResult != 0) return e.startResult;
        e.started.push_back(host);
        e.current = host;
        e.busyLeft = e.busyPolls;
        return 0;
    }
    static int TARNEL_CALL PingCheck(char* text, int32_t* roundTripMs, int32_t* code) {
        ScriptedEngine& e = Get();
        if (e.busyLeft > 0) {
            --e.busyLeft;
            ++e.busyChecks;
            return 1;
        }
        const Reply reply = e.replies[e.current];
        *roundTripMs = reply.roundTripMs;
        *code = reply.code;
        if (text && !e.checkText.empty()) std::copy(e.checkText.begin(), e.checkText.end(), text);
        return 0;
    }
};

}  // namespace corvale
