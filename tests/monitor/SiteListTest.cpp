#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/SiteList.h"

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
    for (const char* text : {"", "\r\n", "   ", "  \r\n\r\n    \r\n"}) {
        ParseSiteList("x.example");
        ParseSiteList(text);
        EXPECT_EQ(SiteLast, -1) << '"' << text << '"';
        EXPECT_TRUE(Sites.empty());
    }
}

TEST(ParseSiteList, DuplicatesCompareExactlyAndLinesStayUntrimmed) {
    ParseSiteList("a.example\r\na.example\r\nA.example\r\na.example \r\n  a.example");
    EXPECT_EQ(Urls(), (Lines{"a.example", "A.example", "a.example ", "  a.example"}));
}

TEST(ParseSiteList, OnlyCrLfSeparatesLines) {
    // A lone LF or CR is part of the line: the list is edited and stored with CR LF.
    ParseSiteList("a.example\nb.example\r\nc.example\rd\r\n\r");
    EXPECT_EQ(Urls(), (Lines{"a.example\nb.example", "c.example\rd", "\r"}));
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
