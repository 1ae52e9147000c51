#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "monitor/Conversions.h"
#include "monitor/Settings.h"

using namespace corvale;
using namespace std::string_literals;

TEST(TextBeforeNul, CutsAtTheFirstNulOnly) {
    EXPECT_EQ(TextBeforeNul("abc\0def\0"s), "abc");
    EXPECT_EQ(TextBeforeNul("\0abc"s), "");
    EXPECT_EQ(TextBeforeNul("no nul here"), "no nul here");
    EXPECT_EQ(TextBeforeNul(""), "");
}

TEST(SafeBool, WordsInAnyCaseAndNumbers) {
    for (const char* t : {"True", "TRUE", "tRuE", "  true ", "\ttrue", "-1", "1", "2", "0.5", "-0.001", "1e60", "+3"})
        EXPECT_TRUE(SafeBool(t)) << '"' << t << '"';
    for (const char* t : {"False", "FALSE", " false ", "0", "-0", "0.000", "0e5", "", "   ", "yes", "on", "tru",
                          "true1", "1 2", "nan", "inf", "0x1", "&H1", "1,5", "--1", "."})
        EXPECT_FALSE(SafeBool(t)) << '"' << t << '"';
}

TEST(SafeInt, RoundsHalfToEvenThroughFloat) {
    EXPECT_EQ(SafeInt("0.5"), 0);
    EXPECT_EQ(SafeInt("1.5"), 2);
    EXPECT_EQ(SafeInt("2.5"), 2);
    EXPECT_EQ(SafeInt("3.5"), 4);
    EXPECT_EQ(SafeInt("-2.5"), -2);
    EXPECT_EQ(SafeInt("-3.5"), -4);
    EXPECT_EQ(SafeInt("2.5000001"), 2);  // too close to 2.5 for a float to tell
    EXPECT_EQ(SafeInt("2.5000003"), 3);
    EXPECT_EQ(SafeInt("2.49"), 2);
    // The nearest float to this text is 9.5 itself, which then goes to the even 10.
    EXPECT_EQ(SafeInt("9.4999999999999999999999999"), 10);
}

TEST(SafeInt, AcceptsDecimalFormsOnly) {
    EXPECT_EQ(SafeInt(" 10 "), 10);
    EXPECT_EQ(SafeInt("+7"), 7);
    EXPECT_EQ(SafeInt("1e3"), 1000);
    EXPECT_EQ(SafeInt("25E-1"), 2);
    EXPECT_EQ(SafeInt("5."), 5);
    EXPECT_EQ(SafeInt(".6"), 1);
    EXPECT_EQ(SafeInt("000123"), 123);
    EXPECT_EQ(SafeInt("1e-60"), 0);
    for (const char* t : {"", " ", "abc", "12abc", "1 2", "0x10", "nan", "inf", "-inf", "1e", "e5", "+", "-", ".",
                          "True", "1..2", "1e+", "\x01", "١"})
        EXPECT_EQ(SafeInt(t), 0) << '"' << t << '"';
}

TEST(SafeInt, OutOfSixteenBitsGivesZero) {
    EXPECT_EQ(SafeInt("32767"), 32767);
    EXPECT_EQ(SafeInt("-32768"), -32768);
    EXPECT_EQ(SafeInt("32768"), 0);
    EXPECT_EQ(SafeInt("-32769"), 0);
    EXPECT_EQ(SafeInt("32767.5"), 0);    // rounds to 32768
    EXPECT_EQ(SafeInt("-32768.5"), -32768);  // rounds to the even -32768
    EXPECT_EQ(SafeInt("32767.4"), 32767);
    EXPECT_EQ(SafeInt("1e60"), 0);
    EXPECT_EQ(SafeInt("1e999999999999999999999"), 0);
    EXPECT_EQ(SafeInt(std::string(10000, '9')), 0);
}

TEST(SafeLong, ThirtyTwoBitsAsAFloatSeesThem) {
    EXPECT_EQ(SafeLong("100000"), 100000);
    EXPECT_EQ(SafeLong("-2147483648"), INT32_MIN);
    // The float nearest to 2^31 - 1 is 2^31, which no longer fits.
    EXPECT_EQ(SafeLong("2147483647"), 0);
    EXPECT_EQ(SafeLong("2147483520"), 2147483520);  // the largest float below 2^31
    EXPECT_EQ(SafeLong("16777217"), 16777216);
    EXPECT_EQ(SafeLong("40000"), 40000);
    EXPECT_EQ(SafeLong("4e9"), 0);
    EXPECT_EQ(SafeLong("letters"), 0);
}

TEST(SafeConversions, NumbersGoTheSameWay) {
    EXPECT_EQ(SafeInt(2.5), 2);
    EXPECT_EQ(SafeInt(-32768.0), -32768);
    EXPECT_EQ(SafeInt(40000.0), 0);
    EXPECT_EQ(SafeInt(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(SafeLong(1e300), 0);
    EXPECT_EQ(SafeLong(-std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(SafeLong(2147483647.0), 0);
    EXPECT_FALSE(SafeBool(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(SafeBool(0.0));
    EXPECT_TRUE(SafeBool(-1.0));
}

TEST(FormatIniNumber, WholeValuesHaveNoDecimalPointAndReadBack) {
    EXPECT_EQ(FormatIniNumber(20.0f), "20");
    EXPECT_EQ(FormatIniNumber(12.5f), "12.5");
    EXPECT_EQ(FormatIniNumber(-3.0f), "-3");
    EXPECT_EQ(FormatIniNumber(-0.0f), "0");
    EXPECT_EQ(FormatIniNumber(std::nanf("")), "0");
    for (int v = -32768; v <= 32767; v += 97) EXPECT_EQ(SafeInt(FormatIniNumber(static_cast<float>(v))), v);
    EXPECT_EQ(SafeInt(FormatIniNumber(32767.0f)), 32767);
}

TEST(IniValueRules, ReadValuesAreCutAndTrimmed) {
    std::string buffer(kIniValueBuffer, ' ');
    buffer.replace(0, 4, "200\0"s);
    EXPECT_EQ(IniValueFromBuffer(buffer), "200");
    EXPECT_EQ(IniValueFromBuffer("True   \0junk"s), "True");
    EXPECT_EQ(IniValueFromBuffer("  lead"), "  lead");
    // A value that filled the whole buffer is cut to the buffer less its NUL.
    std::string longValue(10000, 'x');
    EXPECT_EQ(IniValueFromBuffer(longValue), std::string(kIniValueBuffer - 1, 'x'));
    EXPECT_EQ(IniValueFromBuffer(std::string(kIniValueBuffer, ' ')), "");
}

TEST(IniValueRules, WrittenValuesCannotAddLines) {
    EXPECT_EQ(IniValueToWrite("1\r\n[Colors]\r\nNormal=9"), "1");
    EXPECT_EQ(IniValueToWrite("a\nb"), "a");
    EXPECT_EQ(IniValueToWrite("True"), "True");
    EXPECT_EQ(IniValueToWrite(""), "");
}
