#include "monitor/SiteNotices.h"

#include <algorithm>
#include <cmath>

#include "monitor/UserTexts.h"
#include "monitor/WideText.h"
#include "monitor/SiteHistory.h"

namespace corvale {
namespace {

// Cut on a character, never inside one, and ended with "..." as the tooltip titles are.
std::string ShortSiteText(std::string_view url) { return FitWithEllipsis(url, kNoticeMaxSiteChars); }

std::string Joined(const std::vector<NoticeLine>& lines, std::size_t count, std::size_t more) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (!text.empty()) text += '\n';
        text += lines[i].text;
    }
    if (more > 0) text += "\nand " + std::to_string(more) + " more";
    return text;
}

}  // namespace

std::string RoundNotice::Text() const {
    std::size_t count = std::min(lines.size(), kNoticeMaxLines);
    std::size_t more = lines.size() - count;
    std::string text = Joined(lines, count, more);
    while (text.size() > kNoticeMaxChars && count > 1) {
        --count;
        ++more;
        text = Joined(lines, count, more);
    }
    return text;
}

void SiteNotices::KeepOnly(const std::set<uint32_t>& kept) {
    std::erase_if(sites_, [&](const auto& site) { return !kept.count(site.first); });
    std::erase_if(lines_, [&](const Line& line) { return !kept.count(line.site); });
    std::erase_if(downBeforeOutage_, [&](uint32_t site) { return !kept.count(site); });
}

void SiteNotices::Resumed() {
    lines_.clear();
    roundResults_ = roundFailures_ = 0;
    quietRound_ = true;
}

void SiteNotices::Shown(uint32_t index, std::string_view url, bool answering, int32_t roundTripMs, double now) {
    if (quietRound_) return;
    Site& site = sites_[index];
    site.url = url;
    ++roundResults_;
    if (!answering) ++roundFailures_;
    lastResultAt_ = now;

    if (answering) {
        if (site.seen == Seen::Down) {
            std::string line = ShortSiteText(url) + " answers again (" + std::to_string(roundTripMs) + " ms)";
            if (site.downSince) line += ", after " + DownTimeText(now - *site.downSince);
            lines_.push_back({Change::Up, index, roundTripMs, std::move(line)});
        }
        site.seen = Seen::Answering;
        site.downSince.reset();
    } else {
        switch (site.seen) {
        case Seen::Nothing:
            // Down from the start: when it went down is not known.
            site.seen = Seen::Down;
            break;
        case Seen::Answering:
            site.seen = Seen::FailedOnce;
            site.downSince = now;
            break;
        case Seen::FailedOnce:
            site.seen = Seen::Down;
            lines_.push_back({Change::Down, index, {}, ShortSiteText(url) + " is not responding"});
            break;
        case Seen::Down:
            break;
        }
    }
    NoteSpeed(site, index, answering, roundTripMs);
}

void SiteNotices::NoteSpeed(Site& site, uint32_t index, bool answering, int32_t roundTripMs) {
    std::rotate(site.recent.begin(), site.recent.begin() + 1, site.recent.end());
    site.recent.back() = answering ? roundTripMs : 0;
    site.recentCount = std::min(site.recentCount + 1, kSlowWindow);
    site.quickRun = answering && roundTripMs <= kSlowRoundTripMs ? site.quickRun + 1 : 0;
    if (!answering) return;  // slowness is told only of a site that answers

    const auto known = site.recent.end() - static_cast<std::ptrdiff_t>(site.recentCount);
    const auto slowResults = std::count_if(known, site.recent.end(), [](int32_t ms) { return ms > kSlowRoundTripMs; });
    if (!site.slow && static_cast<std::size_t>(slowResults) >= kSlowResults) {
        site.slow = true;
        // The average of the slow replies: quick ones among them would pull it below the line.
        int64_t sum = 0, replies = 0;
        for (auto ms = known; ms != site.recent.end(); ++ms)
            if (*ms > kSlowRoundTripMs) sum += *ms, ++replies;
        lines_.push_back({Change::Slow, index, roundTripMs,
                          ShortSiteText(site.url) + " answers slowly (" + std::to_string(std::llround(
                              static_cast<double>(sum) / static_cast<double>(replies))) + " ms on average)"});
    } else if (site.slow && site.quickRun >= kQuickRun) {
        site.slow = false;
        lines_.push_back({Change::Quick, index, roundTripMs,
                          ShortSiteText(site.url) + " answers quickly again (" + std::to_string(roundTripMs) + " ms)"});
    }
}

bool SiteNotices::Told(const std::vector<Line>& lines, Change change, uint32_t site) const {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const Line& line) { return line.kind == change && line.site == site; });
}

void SiteNotices::EndOfOutage(std::vector<Line>& lines, double now) {
    // Sites that were down before the outage keep their own lines; the others came back with
    // the connection, or are told as down now that it is back.
    std::erase_if(lines, [this](const Line& line) {
        return line.kind == Change::Up && !downBeforeOutage_.count(line.site);
    });
    for (const auto& [id, site] : sites_)
        if (site.seen == Seen::Down && !downBeforeOutage_.count(id) && !Told(lines, Change::Down, id))
            lines.push_back({Change::Down, id, {}, ShortSiteText(site.url) + " is not responding"});
    lines.insert(lines.begin(),
                 {Change::ConnectionUp, 0, {}, "Sites answer again, after " + DownTimeText(now - *outageSince_)});
    outageSince_.reset();
    downBeforeOutage_.clear();
    toldVerdict_.reset();
}

RoundNotice SiteNotices::EndRound(const ConnectionVerdict* verdict) {
    RoundNotice notice;
    std::vector<Line>& lines = notice.lines;
    lines = std::move(lines_);
    lines_.clear();
    const bool allFailed = roundResults_ >= 2 && roundFailures_ == roundResults_;
    const bool someAnswered = roundFailures_ < roundResults_;
    roundResults_ = roundFailures_ = 0;
    if (quietRound_) {
        quietRound_ = false;
        lines.clear();
        return notice;
    }

    const auto isDown = [](const Line& line) { return line.kind == Change::Down; };
    const ConnectionVerdict judged = verdict ? *verdict : ConnectionVerdict{};
    if (allFailed && (outageSince_ || std::any_of(lines.begin(), lines.end(), isDown))) {
        if (!outageSince_) {
            // The outage began with the earliest first failure among the sites it took down.
            outageSince_ = lastResultAt_;
            for (const auto& [id, site] : sites_) {
                const bool toldNow = Told(notice.lines, Change::Down, id);
                if (site.seen == Seen::Down && !toldNow) downBeforeOutage_.insert(id);
                if (toldNow && site.downSince) outageSince_ = std::min(*outageSince_, *site.downSince);
            }
            notice.connectionDownSince = outageSince_;
            std::erase_if(lines, isDown);
            lines.insert(lines.begin(), {Change::ConnectionDown, 0, {}, VerdictNotice(judged)});
            toldVerdict_ = judged;
        } else {
            std::erase_if(lines, isDown);
            // Still down, for another reason now (the router came back, the provider did not).
            if (verdict && toldVerdict_ != judged) {
                lines.insert(lines.begin(), {Change::ConnectionDown, 0, {}, VerdictNotice(judged)});
                toldVerdict_ = judged;
            }
        }
    } else if (outageSince_ && someAnswered) {
        notice.connectionUpAfter = lastResultAt_ - *outageSince_;
        EndOfOutage(lines, lastResultAt_);
    }
    return notice;
}

}  // namespace corvale
