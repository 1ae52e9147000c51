#include "ui/base/PropertyBag.h"

#include <gtest/gtest.h>

using corvale::PropertyBag;

TEST(PropertyBag, MissingKeysReadAsTheirDefaults) {
    PropertyBag bag;
    EXPECT_EQ(bag.ReadText("SiteURL", "0"), "0");
    EXPECT_EQ(bag.ReadInt("BackHue", 185), 185);
    EXPECT_TRUE(bag.ReadBool("Selected", true));
    EXPECT_TRUE(bag.ReadBytes("Picture").empty());
}

TEST(PropertyBag, KeysMatchWithoutRegardToCaseAndKeepTheirFirstSpelling) {
    PropertyBag bag;
    bag.WriteInt("BackHue", 192);
    bag.WriteInt("BACKHUE", 193);
    EXPECT_EQ(bag.ReadInt("backhue", 0), 193);
    ASSERT_EQ(bag.Keys().size(), 1u);
    EXPECT_EQ(bag.Keys()[0], "BackHue");
}

TEST(PropertyBag, ValueEqualToDefaultIsNotWrittenAndRemovesAnEarlierOne) {
    PropertyBag bag;
    bag.WriteInt("BackSaturation", 40, 40);
    EXPECT_FALSE(bag.Contains("BackSaturation"));
    bag.WriteInt("BackSaturation", 145, 40);
    EXPECT_EQ(bag.ReadInt("BackSaturation", 40), 145);
    bag.WriteInt("BackSaturation", 40, 40);
    EXPECT_FALSE(bag.Contains("BackSaturation"));
    bag.WriteBool("DefaultControl", false, false);
    bag.WriteText("PingValue", "0", "0");
    EXPECT_EQ(bag.size(), 0u);
}

TEST(PropertyBag, BooleansReadFromWordsOrNumbers) {
    auto bag = PropertyBag::Parse("A = \"true\"\nB = \"-1\"\nC = \"0\"\nD = \"maybe\"\n");
    ASSERT_TRUE(bag);
    EXPECT_TRUE(bag->ReadBool("a", false));
    EXPECT_TRUE(bag->ReadBool("b", false));
    EXPECT_FALSE(bag->ReadBool("c", true));
    EXPECT_TRUE(bag->ReadBool("d", true)) << "unreadable value falls back to the default";
}

TEST(PropertyBag, SystemColourReferencesKeepTheirBits) {
    auto bag = PropertyBag::Parse("BCOL = \"2147483663\"\nBad = \"12x\"\n");
    ASSERT_TRUE(bag);
    EXPECT_EQ(static_cast<uint32_t>(bag->ReadInt("BCOL", 0)), 0x8000000Fu);
    EXPECT_EQ(bag->ReadInt("Bad", 7), 7);
}

TEST(PropertyBag, SerializedFormRoundTripsAnyBytes) {
    PropertyBag bag;
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<uint8_t>(i));
    bag.WriteBytes("Picture", bytes);
    bag.WriteText("Caption", "say \"hi\"\r\n\\ & more");
    bag.WriteDouble("Size", 11.25);
    auto back = PropertyBag::Parse(bag.Serialize());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ReadBytes("picture"), bytes);
    EXPECT_EQ(back->ReadText("caption", ""), "say \"hi\"\r\n\\ & more");
    EXPECT_DOUBLE_EQ(back->ReadDouble("size", 0), 11.25);
    EXPECT_EQ(back->Keys(), bag.Keys());
}

TEST(PropertyBag, MalformedTextIsRefusedWhole) {
    EXPECT_FALSE(PropertyBag::Parse("NoEquals\n"));
    EXPECT_FALSE(PropertyBag::Parse("A = unquoted\n"));
    EXPECT_FALSE(PropertyBag::Parse("A = \"bad \\q escape\"\n"));
    EXPECT_FALSE(PropertyBag::Parse("A = \"cut \\x4\"\n"));
    EXPECT_FALSE(PropertyBag::Parse("A = \"ends in backslash\\\"\n"));
    EXPECT_TRUE(PropertyBag::Parse("; comment\r\n\r\nA = \"1\"\r\n"));
}
