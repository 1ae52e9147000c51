#include "monitor/AlertChannels.h"

#include <algorithm>
#include <utility>

#include "monitor/AlertProgram.h"
#include "monitor/CommandLine.h"
#include "monitor/WebHook.h"

namespace corvale {
namespace {

AlertState StateOf(NoticeLine::Kind kind) {
    switch (kind) {
    case NoticeLine::Kind::Down: return AlertState::Down;
    case NoticeLine::Kind::Up: return AlertState::Up;
    case NoticeLine::Kind::Slow: return AlertState::Slow;
    case NoticeLine::Kind::Quick: return AlertState::Quick;
    case NoticeLine::Kind::ConnectionDown: return AlertState::ConnectionDown;
    case NoticeLine::Kind::ConnectionUp: return AlertState::ConnectionUp;
    }
    return AlertState::Note;
}

}  // namespace

AlertChannels::AlertChannels(const ProgramModel& model, Balloon balloon) : model_(model), balloon_(std::move(balloon)) {}

AlertNotice AlertChannels::ToAlert(const RoundNotice& notice, const std::string& time) const {
    AlertNotice alert{time, {}};
    for (const NoticeLine& line : notice.lines) {
        AlertLine out{StateOf(line.kind), {}, {}, line.roundTripMs, line.text};
        const auto& sites = model_.Sites();
        const auto site = std::find_if(sites.begin(), sites.end(), [&](const SiteRecord& s) { return s.Id == line.site; });
        if (line.site != 0 && site != sites.end()) {
            out.target = site->Url;
            out.name = site->Name;
        }
        alert.lines.push_back(std::move(out));
    }
    return alert;
}

void AlertChannels::Deliver(const RoundNotice& notice, const std::string& time) {
    const AlertNotice alert = ToAlert(notice, time);
    if (mutedUntil_) {
        for (const AlertLine& line : alert.lines) muted_.Add(line.state, line.target);
        connectionBackWhileMuted_ = connectionBackWhileMuted_ || notice.connectionUpAfter.has_value();
        return;
    }
    if (model_.Settings().Notify) balloon_(notice.Text());
    Send(alert, &notice);
}

void AlertChannels::Send(const AlertNotice& alert, const RoundNotice* round) {
    const ProgramSettings& settings = model_.Settings();
    if (settings.Sound) sound_.Play(alert);
    if (!settings.Command.empty()) RunProgram(alert);
    if (settings.WebHook.empty()) return;
    WebHookMessage message = MakeWebHookMessage(settings.WebHook, settings.WebHookBody, NoticeFields(alert));
    // While the connection is down nothing can reach the address: the messages wait for it.
    if (round && round->connectionDownSince) {
        webHook_.ConnectionDown(std::move(message));
        return;
    }
    if (round && round->connectionUpAfter) webHook_.ConnectionUp();
    webHook_.Send(std::move(message));
}

void AlertChannels::RunProgram(const AlertNotice& alert) {
    const ProgramSettings& settings = model_.Settings();
    for (std::size_t i = 0; i < alert.lines.size(); ++i) {
        const std::vector<std::string> arguments = AlertCommandArguments(settings.Command, LineFields(alert, i));
        if (arguments.empty()) return;
        const ProgramStart start = StartAlertProgram(arguments, settings.AppFolder);
        if (start.started) {
            failedCommand_.clear();
            continue;
        }
        // Said once; the other channels go on all the same.
        if (failedCommand_ != settings.Command && settings.Notify) balloon_(CommandFailureText(arguments[0], start.reason));
        failedCommand_ = settings.Command;
        return;
    }
}

void AlertChannels::TestWebHook(const std::string& url, const std::string& body, const std::string& time,
                                WebHookDone done) {
    webHook_.SendTest(MakeWebHookMessage(url, body, WebHookTestFields(time)), std::move(done));
}

void AlertChannels::Mute(int64_t untilMs) {
    muted_.Clear();
    connectionBackWhileMuted_ = false;
    mutedUntil_ = untilMs;
}

void AlertChannels::Unmute(const std::string& time) {
    if (!mutedUntil_) return;
    mutedUntil_.reset();
    const std::string text = muted_.Text();
    const AlertState tone = muted_.Tone();
    muted_.Clear();
    // What the web hook kept while the connection was down goes now that it is back.
    if (std::exchange(connectionBackWhileMuted_, false)) webHook_.ConnectionUp();
    if (text.empty()) return;
    const AlertNotice summary{time, {AlertLine{tone, {}, {}, {}, text}}};
    if (model_.Settings().Notify) balloon_(text);
    Send(summary, nullptr);
}

void AlertChannels::Tick(int64_t nowMs, const std::string& time) {
    if (mutedUntil_ && nowMs >= *mutedUntil_) Unmute(time);
}

}  // namespace corvale
