#include "monitor/SiteNotices.h"

#include <cmath>

namespace corvale {
namespace {

constexpr float kSecondsPerDay = 86400.0f;

// The clock is the time of day: a result after midnight is that much later, not earlier.
float SecondsBetween(float from, float to) {
    const float elapsed = to - from;
    return elapsed < 0 ? elapsed + kSecondsPerDay : elapsed;
}

std::string ShortSiteText(std::string_view url) {
    if (url.size() <= kNoticeMaxSiteChars) return std::string(url);
    return std::string(url.substr(0, kNoticeMaxSiteChars - 3)) + "...";
}

std::string Joined(const std::vector<std::string>& lines, std::size_t count, std::size_t more) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (!text.empty()) text += '\n';
        text += lines[i];
    }
    if (more > 0) text += "\nand " + std::to_string(more) + " more";
    return text;
}

}  // namespace

std::string DownTimeText(float seconds) {
    const long total = seconds > 0 ? std::lround(seconds) : 0;
    if (total < 60) return std::to_string(total) + " s";
    // The two largest units; a zero second one is left out.
    const bool hours = total >= 3600;
    const long large = hours ? total / 3600 : total / 60;
    const long small = hours ? total % 3600 / 60 : total % 60;
    std::string text = std::to_string(large);
    text += hours ? " h" : " min";
    if (small != 0) {
        text += ' ';
        text += std::to_string(small);
        text += hours ? " min" : " s";
    }
    return text;
}

void SiteNotices::Restart() {
    sites_.clear();
    lines_.clear();
    moreLines_ = 0;
}

void SiteNotices::Shown(std::size_t index, std::string_view url, bool answering, int32_t roundTripMs, float now) {
    if (sites_.size() <= index) sites_.resize(index + 1);
    Site& site = sites_[index];
    if (site.url != url) site = Site{std::string(url)};

    if (answering) {
        if (site.seen == Seen::Down) {
            std::string line = ShortSiteText(url) + " answers again (" + std::to_string(roundTripMs) + " ms)";
            if (site.downSinceKnown) line += ", after " + DownTimeText(SecondsBetween(site.downSince, now));
            Gather(std::move(line));
        }
        site.seen = Seen::Answering;
        return;
    }
    switch (site.seen) {
    case Seen::Nothing:
        // Down from the start: when it went down is not known.
        site.seen = Seen::Down;
        site.downSinceKnown = false;
        break;
    case Seen::Answering:
        site.seen = Seen::FailedOnce;
        site.downSinceKnown = true;
        site.downSince = now;
        break;
    case Seen::FailedOnce:
        site.seen = Seen::Down;
        Gather(ShortSiteText(url) + " is not responding");
        break;
    case Seen::Down:
        break;
    }
}

void SiteNotices::Gather(std::string line) {
    if (lines_.size() < kNoticeMaxLines) lines_.push_back(std::move(line));
    else ++moreLines_;
}

std::string SiteNotices::EndRound() {
    std::size_t count = lines_.size();
    std::size_t more = moreLines_;
    std::string text = Joined(lines_, count, more);
    // Long lines: fewer of them, and the rest counted.
    while (text.size() > kNoticeMaxChars && count > 1) {
        --count;
        ++more;
        text = Joined(lines_, count, more);
    }
    lines_.clear();
    moreLines_ = 0;
    return text;
}

}  // namespace corvale
