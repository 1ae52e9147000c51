#pragma once
// Where a round's notice goes (Windows): the balloon, while the user wants balloons; the
// system's sound; the user's program, once for each line; and the web hook, once for the
// notice. A mute holds every one of them back for an hour and then tells, once on each, what
// changed meanwhile. Nothing here waits on the network or on the user's program.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "monitor/AlertSound.h"
#include "monitor/AlertText.h"
#include "monitor/MuteSummary.h"
#include "monitor/ProgramModel.h"
#include "monitor/WebHookSender.h"

namespace corvale {

inline constexpr int64_t kMuteMs = 60 * 60 * 1000;

class AlertChannels {
public:
    // `balloon` shows a text in the notification area.
    using Balloon = std::function<void(std::string_view text)>;
    AlertChannels(const ProgramModel& model, Balloon balloon);

    // A round's notice at `time` (as the log writes it), on every channel the settings turn on;
    // while muted, only gathered for the mute's summary.
    void Deliver(const RoundNotice& notice, const std::string& time);

    // "Corvale test message" to `url` with `body`; `done` is told what came back, on the
    // sender's thread (it must only post it on).
    void TestWebHook(const std::string& url, const std::string& body, const std::string& time, WebHookDone done);

    // The mute: from now until `untilMs` (milliseconds since 1970, UTC).
    void Mute(int64_t untilMs);
    // Ends it at once: what changed meanwhile goes out on every channel, if anything did.
    void Unmute(const std::string& time);
    // Ends the mute whose hour is over by `nowMs`.
    void Tick(int64_t nowMs, const std::string& time);
    std::optional<int64_t> MutedUntil() const { return mutedUntil_; }

private:
    AlertNotice ToAlert(const RoundNotice& notice, const std::string& time) const;
    // Every channel but the balloon, which the caller decides.
    void Send(const AlertNotice& alert, const RoundNotice* round);
    void RunProgram(const AlertNotice& alert);

    const ProgramModel& model_;
    Balloon balloon_;
    AlertSound sound_;
    WebHookSender webHook_;
    MuteSummary muted_;
    std::optional<int64_t> mutedUntil_;
    // The command whose failure to start was told: not told again until it changes or starts.
    std::string failedCommand_;
    // The connection came back while muted: what the web hook kept goes at the mute's end.
    bool connectionBackWhileMuted_ = false;
};

}  // namespace corvale
