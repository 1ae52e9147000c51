#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/SiteList.h"
#include "monitor/UserTexts.h"

using namespace corvale;
using namespace std::string_literals;

namespace {

std::vector<std::string> Urls(const std::vector<SiteRecord>& table) {
    std::vector<std::string> urls;
    for (const SiteRecord& site : table) urls.push_back(site.Url);
    return urls;
}

using Lines = std::vector<std::string>;

// The targets of the sites a list text holds.
Lines Targets(std::string_view text) {
    Lines targets;
    for (const SiteLine& site : AcceptedSiteLines(text)) targets.push_back(site.target);
    return targets;
}

}  // namespace

TEST(AcceptedSiteLines, BlankLinesAndTrailingLineBreakAreSkipped) {
    EXPECT_EQ(Targets("a.example\r\n\r\nb.example"), (Lines{"a.example", "b.example"}));
    EXPECT_EQ(Targets("a.example\r\nb.example\r\n"), (Lines{"a.example", "b.example"}));
    EXPECT_EQ(Targets("\r\n   \r\na.example\r\n \r\n"), (Lines{"a.example"}));
}

TEST(AcceptedSiteLines, BlankTextsGiveNoSite) {
    for (const char* text : {"", "\r\n", "   ", "  \r\n\r\n    \r\n", "\t \n\r\t"})
        EXPECT_TRUE(AcceptedSiteLines(text).empty()) << '"' << text << '"';
}

TEST(AcceptedSiteLines, ListsAsEditorsWriteThem) {
    // CR LF, LF and CR all end a line; spaces and tabs around a site are not part of it,
    // so a site written twice, once with a trailing space, is one site.
    EXPECT_EQ(Targets("a.example\nb.example\r\nc.example\rd.example\n\r\n \t\r\te.example \r\n a.example\t"), (Lines{"a.example", "b.example", "c.example", "d.example", "e.example"}));
    EXPECT_EQ(Targets("a.example\r\nA.example\r\na.example \r\nx y.example"), (Lines{"a.example", "A.example", "x"})) << "letter case counts";

    // A note of the user's is no site, and a target listed again is the same site, named or not.
    EXPECT_EQ(Targets("# home\r\n192.168.1.1 Router\r\n192.168.1.1 Again\r\n"), Lines{"192.168.1.1"});

    // A list file's UTF-8 mark is not part of its first site, and a list the preferences
    // show has a CR LF at every line end.
    const std::string file = "\xEF\xBB\xBF" "a.example\nb.example\rc.example\r\n";
    EXPECT_EQ(Targets(SitesTextFromFile(file)), (Lines{"a.example", "b.example", "c.example"}));
    EXPECT_EQ(SitesTextFromFile("plain\n"), "plain\n");
    EXPECT_EQ(WithCrLfLineEnds("a\nb\rc\r\n\n"), "a\r\nb\r\nc\r\n\r\n");
}

TEST(AcceptedSiteLines, AtMostTwentySitesInFileOrder) {
    std::string text;
    Lines expected;
    for (int i = 0; i < 25; ++i) {
        std::string url = "site" + std::to_string(i) + ".example";
        text += url + "\r\n";
        if (i < 20) expected.push_back(url);
        if (i == 3) text += "site1.example\r\n\r\n";  // a duplicate and a blank do not count
    }
    EXPECT_EQ(Targets(text), expected);
}

TEST(AcceptedSiteLines, HugeAndBinaryTexts) {
    std::string many;
    for (int i = 0; i < 100000; ++i) many.append("host").append(std::to_string(i % 7)).append("\r\n");
    EXPECT_EQ(Targets(many).size(), 7u);

    std::string distinct;
    for (int i = 0; i < 100000; ++i) distinct.append("h").append(std::to_string(i)).append("\r\n");
    const Lines twenty = Targets(distinct);
    ASSERT_EQ(twenty.size(), 20u);
    EXPECT_EQ(twenty[19], "h19");

    std::string oneLine(1 << 20, 'w');
    EXPECT_EQ(Targets(oneLine), Lines{oneLine});

    std::string binary = "a\0b\r\n\0\r\n\xff\xfe\r\n"s;
    EXPECT_EQ(Targets(binary), (Lines{"a\0b"s, "\0"s, "\xff\xfe"}));
}

namespace {

// A site as the check cycle leaves it after showing results.
void Show(SiteRecord& site, std::initializer_list<int32_t> roundTrips, int32_t lastCode) {
    int64_t at = 1000;
    for (int32_t ms : roundTrips) site.History.Add({at += 10000, ms, ms ? 0 : lastCode});
    site.PingMs = *(roundTrips.end() - 1);
    site.NotResponding = site.PingMs == 0;
    site.PingText = site.NotResponding ? kNotRespondingText : RoundTripText(site.PingMs);
    site.ResultCode = lastCode;
    site.RetryCount = 1;
}

void ExpectSameState(const SiteRecord& actual, const SiteRecord& expected) {
    EXPECT_EQ(actual.Url, expected.Url);
    EXPECT_EQ(actual.PingMs, expected.PingMs) << actual.Url;
    EXPECT_EQ(actual.PingText, expected.PingText) << actual.Url;
    EXPECT_EQ(actual.NotResponding, expected.NotResponding) << actual.Url;
    EXPECT_EQ(actual.ResultCode, expected.ResultCode) << actual.Url;
    EXPECT_EQ(actual.Id, expected.Id) << actual.Url;
    EXPECT_EQ(actual.History.Last(kHistoryMinKept), expected.History.Last(kHistoryMinKept)) << actual.Url;
    EXPECT_EQ(actual.RetryCount, 0) << "the cycle starts over with the new table";
}

}  // namespace

TEST(CarrySiteState, SitesThatStayKeepWhatIsKnownWhereverTheyAreAndNewOnesStartUnchecked) {
    std::vector<SiteRecord> before = CarrySiteState({}, AcceptedSiteLines("up.example\r\ndown.example\r\ngone.example\r\n"));
    Show(before[0], {12, 30}, 0);
    Show(before[1], {15, 0}, 11);
    Show(before[2], {900}, 0);
    for (uint32_t i = 0; i < 3; ++i) before[i].Id = i + 7;

    // An edit that keeps one site in place, moves another and puts a new one where the
    // moved one was.
    const std::vector<SiteRecord> after = CarrySiteState(before, AcceptedSiteLines("up.example\r\nnew.example\r\ndown.example\r\n"));
    ASSERT_EQ(Urls(after), (Lines{"up.example", "new.example", "down.example"}));
    ExpectSameState(after[0], before[0]);
    ExpectSameState(after[2], before[1]);
    SiteRecord fresh;
    fresh.Url = "new.example";
    ExpectSameState(after[1], fresh);
    EXPECT_FALSE(after[1].Checked());
}

TEST(TooltipTitle, LongSiteTextsAreCutWithAnEllipsisToWhatThePlatformShows) {
    const std::string fits(kTooltipTitleMaxUnits, 'a');
    EXPECT_EQ(TooltipTitle(fits), fits);
    EXPECT_EQ(TooltipTitle(fits + "b"), std::string(kTooltipTitleMaxUnits - 3, 'a') + "...");
    // Counted in characters, not in UTF-8 bytes, and never cut inside one.
    std::string cyrillic;
    for (std::size_t i = 0; i < 120; ++i) cyrillic += "\xD0\x96";  // U+0416
    std::string expected;
    for (std::size_t i = 0; i < kTooltipTitleMaxUnits - 3; ++i) expected += "\xD0\x96";
    EXPECT_EQ(TooltipTitle(cyrillic), expected + "...");
    // A character beyond the basic plane takes two units of the platform's count.
    std::string emoji;
    for (int i = 0; i < 60; ++i) emoji += "\xF0\x9F\x98\x80";  // U+1F600
    const std::string cut = TooltipTitle(emoji);
    EXPECT_EQ(cut.size(), 48u * 4 + 3) << "48 pairs (96 units) and the ellipsis";
}
