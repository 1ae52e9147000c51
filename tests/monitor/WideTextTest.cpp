#include "monitor/WideText.h"

#include <gtest/gtest.h>

namespace corvale {
namespace {

TEST(WideText, NamesOutsideAnyAnsiCodePageRoundTrip) {
    // Cyrillic, CJK and an emoji beyond the basic plane (a surrogate pair in UTF-16).
    const std::string utf8 = "\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0 \xE7\x9B\xA3\xE8\xA6\x96 \xF0\x9F\x93\xA1";
    const std::wstring wide = Widen(utf8);
    EXPECT_EQ(wide.size(), sizeof(wchar_t) == 2 ? 11u : 10u);
    EXPECT_EQ(wide[0], static_cast<wchar_t>(0x041F));
    EXPECT_EQ(Narrow(wide), utf8);
    EXPECT_TRUE(IsUtf8(utf8));
}

TEST(WideText, BytesThatAreNotUtf8BecomeReplacementsAndAreToldApart) {
    const std::string ansi = "caf\xE9.example";  // Windows-1252 "café"
    EXPECT_FALSE(IsUtf8(ansi));
    EXPECT_EQ(Widen(ansi), std::wstring(L"caf") + wchar_t(0xFFFD) + L".example");
    // Overlong forms and truncated sequences are not UTF-8 either.
    EXPECT_FALSE(IsUtf8("\xC0\xAF"));
    EXPECT_FALSE(IsUtf8("\xE2\x82"));
    EXPECT_EQ(Widen("\xE2\x82"), std::wstring(2, wchar_t(0xFFFD)));
}

TEST(WideText, ALoneSurrogateFromTheSystemSurvivesTheTrip) {
    if (sizeof(wchar_t) != 2) GTEST_SKIP() << "file names carry lone surrogates only in UTF-16";
    const std::wstring name = std::wstring(L"x") + wchar_t(0xD800) + L"y";
    EXPECT_EQ(Widen(Narrow(name)), name);
    EXPECT_FALSE(IsUtf8(Narrow(name)));
}

TEST(WideText, TextCutToASystemFieldKeepsWholeCharactersAndEndsInAnEllipsis) {
    EXPECT_EQ(FitWithEllipsis("short", 5), "short");
    EXPECT_EQ(FitWithEllipsis("abcdefgh", 7), "abcd...");
    // Two-byte Cyrillic letters count once; the emoji counts twice (a surrogate pair).
    EXPECT_EQ(FitWithEllipsis("\xD0\x9F\xD0\x9F\xD0\x9F\xD0\x9F\xD0\x9F", 4), "\xD0\x9F...");
    EXPECT_EQ(FitWithEllipsis("a\xF0\x9F\x93\xA1\xF0\x9F\x93\xA1", 4), "a...");
    EXPECT_EQ(FitWithEllipsis("a\xF0\x9F\x93\xA1", 3), "a\xF0\x9F\x93\xA1");
}

}  // namespace
}  // namespace corvale
