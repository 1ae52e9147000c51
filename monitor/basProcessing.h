#pragma once
// The check cycle: every tick of the main window's check timer (20 ms while a round runs)
// runs one CheckStep of the program object (ProgramModel.h), which starts at most one request
// and collects at most one result, so the user-interface thread never waits on the network.
// A full pass over the site table is a round; rounds start CheckInterval seconds apart and
// never overlap.

#include <cstdint>
#include <string>
#include <string_view>

#include "monitor/SiteList.h"

namespace corvale {

// Where the cycle stands (the program object holds it).
struct CheckCycleState {
    // Seconds since midnight at the start of the current or last round; a day before any
    // round, so the first tick starts one even in the first seconds after midnight.
    float RoundStart = -86400.0f;
    int16_t CurrentSite = 0;     // the site being checked
    bool RoundRunning = false;
    bool RequestPending = false;  // the engine accepted a request for CurrentSite
    bool ResultReady = false;     // its result was collected and not yet processed
    // Every site of the round failed: the round ends once the router has been asked (Router).
    bool CheckingRouter = false;
    std::string Router;

    // As at the program's start: no round under way, nothing awaited, and the next tick
    // starts a round. A result the engine still owes is collected and dropped unseen.
    void Reset() { *this = CheckCycleState{}; }
};

inline constexpr int32_t kCheckTimeoutMs = 2000;
// Status square colours (0x00BBGGRR): grey until the site's first result; yellow above
// kSlowRoundTripMs.
inline constexpr uint32_t kSquareRed = 0x0000FF;
inline constexpr uint32_t kSquareGreen = 0x00FF00;
inline constexpr uint32_t kSquareYellow = 0x00FFFF;
inline constexpr uint32_t kSquareGrey = 0xA0A0A0;

// The colour of a status square for a shown round-trip time (0: no answer).
uint32_t SquareColourFor(int32_t roundTripMs);
// The colour of a site's status square: grey until its first result.
uint32_t SquareColourFor(const SiteRecord& site);

// How long the check timer may wait for its next tick: one tick (20 ms) while a round runs,
// otherwise until the next round is due, but never more than a second. Fifty wake-ups a
// second of a program at rest are what a laptop's battery notices; ticks at rest do nothing.
inline constexpr int32_t kCheckTickMs = 20;
inline constexpr int32_t kRestingTickMaxMs = 1000;
int32_t CheckTickDelayMs(const CheckCycleState& cycle, float now, float checkInterval);

}  // namespace corvale
