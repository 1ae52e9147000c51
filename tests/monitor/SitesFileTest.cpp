#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TempFolder.h"
#include "monitor/SiteList.h"

#ifdef _WIN32
#include <windows.h>
#endif

using namespace corvale;
using namespace corvale::test;
using namespace std::string_literals;

namespace {

class SitesFile : public ::testing::Test {
protected:
    // The list file as the program reads and saves it.
    std::string ReadSites() { return SitesTextFromFile(ReadWholeFile(sitesPath_)); }
    bool WriteSites() { return ReplaceFileContents(sitesPath_, sitesText_); }

    TempFolder folder_;
    std::string sitesPath_ = folder_.File("sites.txt");
    std::string sitesText_;
};

}  // namespace

TEST_F(SitesFile, MissingEmptyOrFolderReadsAsEmptyText) {
    EXPECT_EQ(ReadSites(), "");
    WriteBytes(sitesPath_, "");
    EXPECT_EQ(ReadSites(), "");
    std::filesystem::remove(sitesPath_);
    std::filesystem::create_directory(sitesPath_);
    EXPECT_EQ(ReadSites(), "");
}

TEST_F(SitesFile, WritesExactlyTheTextAndReadsItBack) {
    // CR LF, NUL and UTF-8 all survive; no mark is put in front and nothing is added at the end.
    sitesText_ = "a.example\r\n\r\n\xD0\xBF\xD1\x80\xD0\xB8.example\r\nb\0x\r\n"s;
    ASSERT_TRUE(WriteSites());
    EXPECT_EQ(ReadBytes(sitesPath_), sitesText_);
    // A line holding a NUL is not read as a site, and the file is then not the program's to rewrite.
    bool notWhole = false;
    EXPECT_EQ(ReadSitesFile(sitesPath_, notWhole), "a.example\r\n\r\n\xD0\xBF\xD1\x80\xD0\xB8.example\r\n");
    EXPECT_TRUE(notWhole);

    // A list an earlier version wrote in the ANSI code page reads as it did, as UTF-8.
    const std::string ansi = "caf\xE9.example\r\n";
    WriteBytes(sitesPath_, ansi);
    EXPECT_EQ(ReadSites(), TextFromAnsiCodePage(ansi));
#ifdef _WIN32
    EXPECT_NE(ReadSites(), ansi);
#endif

    sitesText_ = "short";
    ASSERT_TRUE(WriteSites());
    EXPECT_EQ(ReadBytes(sitesPath_), "short");

    sitesText_.clear();
    ASSERT_TRUE(WriteSites());
    EXPECT_EQ(ReadBytes(sitesPath_), "");
    EXPECT_TRUE(std::filesystem::exists(sitesPath_));
    EXPECT_EQ(folder_.EntryCount(), 1u) << "a temporary file was left behind";
}

TEST(SitesTextFromFile, Utf16ListsWithTheirMarkReadAsTheirText) {
    // As Notepad's "Unicode" (little-endian) or its big-endian form writes it, mark first.
    const auto file = [](std::u16string_view text, bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t unit : text) {
            const char high = char(unit >> 8), low = char(unit & 0xFF);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    // A lone surrogate, a NUL and an odd last byte spoil only what they are in.
    std::u16string damaged = u"x\xD800y.example\r\nc.ex";
    damaged += u'\0';
    damaged += u"ample\r\nd.example";
    for (bool bigEndian : {false, true}) {
        bool lossy = true;
        EXPECT_EQ(SitesTextFromFile(file(u"a.example\r\ncaf\u00E9.example\r\n\U0001F600.example", bigEndian), &lossy),
                  "a.example\r\ncaf\xC3\xA9.example\r\n\xF0\x9F\x98\x80.example");
        EXPECT_FALSE(lossy);
        EXPECT_EQ(SitesTextFromFile(file(damaged, bigEndian) + "\x41", &lossy), "x\xEF\xBF\xBDy.example\r\nd.example");
        EXPECT_TRUE(lossy);
    }
}

TEST_F(SitesFile, LargeListsRoundTrip) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "host" + std::to_string(i) + ".example\r\n";
    sitesText_ = text;
    ASSERT_TRUE(WriteSites());
    EXPECT_EQ(ReadSites(), text);
    sitesText_ = std::string(1 << 20, 'q');
    ASSERT_TRUE(WriteSites());
    EXPECT_EQ(ReadSites().size(), 1u << 20);
}

TEST_F(SitesFile, ReadOnlyFileIsLeftByteForByte) {
    const std::string before = "keep.example\r\nme.example\r\n";
    WriteBytes(sitesPath_, before);
    MakeReadOnly(sitesPath_, true);
    sitesText_ = "replacement";
    EXPECT_FALSE(WriteSites());
    MakeReadOnly(sitesPath_, false);
    EXPECT_EQ(ReadBytes(sitesPath_), before);
    EXPECT_EQ(folder_.EntryCount(), 1u) << "a temporary file was left behind";
}

TEST(SitesFileHelpers, WorkInAFolderOfAnyName) {
    TempFolder folder("Corvale \xD0\x9A\xD0\xB8\xD1\x80 \xE6\xBC\xA2\xE5\xAD\x97 \xF0\x9F\x98\x80");
    const std::string path = folder.File("sites.txt");
    EXPECT_FALSE(FileExists(path));
    const std::string text = "\xE6\xBC\xA2.example\r\nb.example\r\n";
    ASSERT_TRUE(ReplaceFileContents(path, text));
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(ReadWholeFile(path), text);
    EXPECT_EQ(ReadBytes(path), text) << "the very file, seen from outside";
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST_F(SitesFile, MissingFolderFails) {
    sitesPath_ = folder_.File("gone") + "/sites.txt";
    sitesText_ = "a.example";
    EXPECT_FALSE(WriteSites());
    EXPECT_EQ(ReadSites(), "");
}

TEST_F(SitesFile, AFolderInTheWayIsNotReplaced) {
    std::filesystem::create_directory(sitesPath_);
    sitesText_ = "a.example";
    EXPECT_FALSE(WriteSites());
    EXPECT_TRUE(std::filesystem::is_directory(sitesPath_));
}

#ifdef _WIN32
TEST_F(SitesFile, LockedFileIsLeftByteForByte) {
    const std::string before = "locked.example\r\n";
    WriteBytes(sitesPath_, before);
    {
        // Another program holding the file without sharing it.
        HANDLE lock = CreateFileA(sitesPath_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        sitesText_ = "replacement";
        EXPECT_FALSE(WriteSites());
        EXPECT_EQ(ReadSites(), "") << "a file locked against reading reads as empty";
        CloseHandle(lock);
    }
    EXPECT_EQ(ReadBytes(sitesPath_), before);
    EXPECT_EQ(folder_.EntryCount(), 1u) << "a temporary file was left behind";
}
#endif
