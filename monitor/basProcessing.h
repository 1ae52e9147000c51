#pragma once
// The check cycle: every tick of the main window's check timer (20 ms while a round runs)
// runs one CheckStep, which starts at most one request and collects at most one result, so
// the user-interface thread never waits on the network. A full pass over the site table is a round; rounds start
// CheckInterval seconds apart and never overlap.

#include <cstdint>
#include <string>
#include <string_view>

#include "monitor/SiteList.h"
#include "monitor/SiteNotices.h"

namespace corvale {

// Where the cycle stands; one process-wide instance, CheckCycle.
struct CheckCycleState {
    // Seconds since midnight at the start of the current or last round; a day before any
    // round, so the first tick starts one even in the first seconds after midnight.
    float RoundStart = -86400.0f;
    int16_t CurrentSite = 0;     // the site being checked
    bool RoundRunning = false;
    bool RequestPending = false;  // the engine accepted a request for CurrentSite
    bool ResultReady = false;     // its result was collected and not yet processed

    // As at the program's start: no round under way, nothing awaited, and the next tick
    // starts a round. A result the engine still owes is collected and dropped unseen.
    void Reset() { *this = CheckCycleState{}; }
};
extern CheckCycleState CheckCycle;
// Told every shown result; its text of a round's changes goes to the host at the round's end.
extern SiteNotices SiteChangeNotices;

inline constexpr int32_t kCheckTimeoutMs = 2000;
// Status square colours (0x00BBGGRR): grey until the site's first result.
inline constexpr uint32_t kSquareRed = 0x0000FF;
inline constexpr uint32_t kSquareGreen = 0x00FF00;
inline constexpr uint32_t kSquareYellow = 0x00FFFF;
inline constexpr uint32_t kSquareGrey = 0xA0A0A0;
inline constexpr int32_t kSlowRoundTripMs = 800;  // above this a square turns yellow

// What the cycle needs of the windows that show the sites and of the clock.
class CheckCycleHost {
public:
    virtual ~CheckCycleHost() = default;
    virtual void SetSiteURL(int site, std::string_view url) = 0;
    virtual void SetPingValue(int site, std::string_view text) = 0;
    virtual void SetPingNumeric(int site, int32_t roundTripMs) = 0;
    virtual void SetSquareColour(int site, uint32_t colour) = 0;
    // Pushes the site's record into its tile and renews its tooltip.
    virtual void RefreshTile(int site) = 0;
    // Dispatches the window events that are pending and returns.
    virtual void LetEventsRun() = 0;
    // The time of day in seconds since midnight, which the rounds start by.
    virtual float Now() = 0;
    // Seconds on a clock that stands still while the computer sleeps, which every duration
    // (statistics, notices, the log's outages) is measured on.
    virtual double AwakeTime() = 0;
    // Site `site` has shown a result; its record holds it.
    virtual void ResultShown(int /*site*/) {}
    // The sites that stopped or started answering in the round that just ended, one per
    // line. Nothing is shown unless the host shows it.
    virtual void ShowNotice(std::string_view /*text*/) {}
    // A round ended (after its notice, if it had one).
    virtual void RoundEnded() {}
};

// The colour of a status square for a shown round-trip time (0: no answer).
uint32_t SquareColourFor(int32_t roundTripMs);
// The colour of a site's status square: grey until its first result.
uint32_t SquareColourFor(const SiteRecord& site);

void CheckStep(CheckCycleHost& host);
// Writes one collected result into the record (statistics included), tile and square of
// CheckCycle.CurrentSite, and tells the change notices and the host.
void ShowResult(CheckCycleHost& host, int32_t roundTripMs, const std::string& text, int32_t resultCode);

// The timer's tick: one CheckStep unless one is already running further up the stack
// (a step lets events run, and a tick may arrive among them).
void CheckTick(CheckCycleHost& host, bool& busy);

// The next round starts at the first tick at which no round is running.
void CheckNow();

// How long the check timer may wait for its next tick: one tick (20 ms) while a round runs,
// otherwise until the next round is due, but never more than a second. Fifty wake-ups a
// second of a program at rest are what a laptop's battery notices; ticks at rest do nothing.
inline constexpr int32_t kCheckTickMs = 20;
inline constexpr int32_t kRestingTickMaxMs = 1000;
int32_t CheckTickDelayMs(const CheckCycleState& cycle, float now, float checkInterval);

}  // namespace corvale
