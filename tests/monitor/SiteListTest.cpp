#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/SiteList.h"
#include "monitor/UserTexts.h"

using namespace corvale;
using namespace std::string_literals;

namespace {

std::vector<std::string> Urls() {
    std::vector<std::string> urls;
    EXPECT_EQ(Sites.size(), static_cast<std::size_t>(SiteLast + 1));
    for (int i = 0; i <= SiteLast; ++i) urls.push_back(Sites[i].Url);
    return urls;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(ParseSiteList, BlankLinesAndTrailingLineBreakAreSkipped) {
    ParseSiteList("a.example\r\n\r\nb.example");
    EXPECT_EQ(Urls(), (Lines{"a.example", "b.example"}));
    ParseSiteList("a.example\r\nb.example\r\n");
    EXPECT_EQ(Urls(), (Lines{"a.example", "b.example"}));
    ParseSiteList("\r\n   \r\na.example\r\n \r\n");
    EXPECT_EQ(Urls(), (Lines{"a.example"}));
}

TEST(ParseSiteList, NoSitesGivesMinusOne) {
    for (const char* text : {"", "\r\n", "   ", "  \r\n\r\n    \r\n", "\t \n\r\t"}) {
        ParseSiteList("x.example");
        ParseSiteList(text);
        EXPECT_EQ(SiteLast, -1) << '"' << text << '"';
        EXPECT_TRUE(Sites.empty());
    }
}

TEST(ParseSiteList, ListsAsEditorsWriteThem) {
    // CR LF, LF and CR all end a line; spaces and tabs around a site are not part of it,
    // so a site written twice, once with a trailing space, is one site.
    ParseSiteList("a.example\nb.example\r\nc.example\rd.example\n\r\n \t\r\te.example \r\n a.example\t");
    EXPECT_EQ(Urls(), (Lines{"a.example", "b.example", "c.example", "d.example", "e.example"}));
    ParseSiteList("a.example\r\nA.example\r\na.example \r\nx y.example");
    EXPECT_EQ(Urls(), (Lines{"a.example", "A.example", "x y.example"})) << "letter case and inner spaces count";

    // A list file's UTF-8 mark is not part of its first site, and a list the preferences
    // show has a CR LF at every line end.
    const std::string file = "\xEF\xBB\xBF" "a.example\nb.example\rc.example\r\n";
    ParseSiteList(SitesTextFromFile(file));
    EXPECT_EQ(Urls(), (Lines{"a.example", "b.example", "c.example"}));
    EXPECT_EQ(SitesTextFromFile("plain\n"), "plain\n");
    EXPECT_EQ(WithCrLfLineEnds("a\nb\rc\r\n\n"), "a\r\nb\r\nc\r\n\r\n");
}

TEST(ParseSiteList, AtMostTwentySitesInFileOrder) {
    std::string text;
    Lines expected;
    for (int i = 0; i < 25; ++i) {
        std::string url = "site" + std::to_string(i) + ".example";
        text += url + "\r\n";
        if (i < 20) expected.push_back(url);
        if (i == 3) text += "site1.example\r\n\r\n";  // a duplicate and a blank do not count
    }
    ParseSiteList(text);
    EXPECT_EQ(SiteLast, 19);
    EXPECT_EQ(Urls(), expected);
}

TEST(ParseSiteList, ReparsingStartsEveryRecordAfresh) {
    ParseSiteList("a.example\r\nb.example");
    Sites[0].PingMs = 120;
    Sites[0].NotResponding = true;
    Sites[0].PingText = "Not responding";
    Sites[0].Address = "10.0.0.1";
    Sites[1].RetryCount = 1;
    ParseSiteList("a.example\r\nb.example");
    for (const SiteRecord& site : Sites) {
        EXPECT_EQ(site.PingMs, 0);
        EXPECT_FALSE(site.NotResponding);
        EXPECT_EQ(site.PingText, "");
        EXPECT_EQ(site.Address, "");
        EXPECT_EQ(site.RetryCount, 0);
    }
}

TEST(ParseSiteList, HugeAndBinaryTexts) {
    std::string many;
    for (int i = 0; i < 100000; ++i) many.append("host").append(std::to_string(i % 7)).append("\r\n");
    ParseSiteList(many);
    EXPECT_EQ(SiteLast, 6);

    std::string distinct;
    for (int i = 0; i < 100000; ++i) distinct.append("h").append(std::to_string(i)).append("\r\n");
    ParseSiteList(distinct);
    EXPECT_EQ(SiteLast, 19);
    EXPECT_EQ(Sites[19].Url, "h19");

    std::string oneLine(1 << 20, 'w');
    ParseSiteList(oneLine);
    ASSERT_EQ(SiteLast, 0);
    EXPECT_EQ(Sites[0].Url, oneLine);

    std::string binary = "a\0b\r\n\0\r\n\xff\xfe\r\n"s;
    ParseSiteList(binary);
    EXPECT_EQ(Urls(), (Lines{"a\0b"s, "\0"s, "\xff\xfe"}));
}

namespace {

// A site as the check cycle leaves it after showing results.
void Show(SiteRecord& site, std::initializer_list<int32_t> roundTrips, int32_t lastCode) {
    for (int32_t ms : roundTrips) site.History.Add(ms);
    site.PingMs = *(roundTrips.end() - 1);
    site.NotResponding = site.PingMs == 0;
    site.PingText = site.NotResponding ? kNotRespondingText : RoundTripText(site.PingMs);
    site.ResultCode = lastCode;
    site.Checked = true;
    site.RetryCount = 1;
}

void ExpectSameState(const SiteRecord& actual, const SiteRecord& expected) {
    EXPECT_EQ(actual.Url, expected.Url);
    EXPECT_EQ(actual.PingMs, expected.PingMs) << actual.Url;
    EXPECT_EQ(actual.PingText, expected.PingText) << actual.Url;
    EXPECT_EQ(actual.NotResponding, expected.NotResponding) << actual.Url;
    EXPECT_EQ(actual.ResultCode, expected.ResultCode) << actual.Url;
    EXPECT_EQ(actual.Checked, expected.Checked) << actual.Url;
    for (int i = 0; i < kGraphBarCount; ++i) EXPECT_EQ(actual.History[i], expected.History[i]) << actual.Url << i;
    EXPECT_EQ(actual.RetryCount, 0) << "the cycle starts over with the new table";
}

}  // namespace

TEST(UpdateSiteList, SitesThatStayKeepWhatIsKnownWhereverTheyAreAndNewOnesStartUnchecked) {
    ParseSiteList("up.example\r\ndown.example\r\ngone.example\r\n");
    Show(Sites[0], {12, 30}, 0);
    Show(Sites[1], {15, 0}, 11);
    Show(Sites[2], {900}, 0);
    const std::vector<SiteRecord> before = Sites;

    // An edit that keeps one site in place, moves another and puts a new one where the
    // moved one was.
    UpdateSiteList("up.example\r\nnew.example\r\ndown.example\r\n");
    ASSERT_EQ(Urls(), (Lines{"up.example", "new.example", "down.example"}));
    ExpectSameState(Sites[0], before[0]);
    ExpectSameState(Sites[2], before[1]);
    SiteRecord fresh;
    fresh.Url = "new.example";
    ExpectSameState(Sites[1], fresh);
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
