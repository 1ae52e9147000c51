#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TempFolder.h"
#include "monitor/Settings.h"
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
    void SetUp() override {
        AppFolder = folder_.Folder();
        SitesPath = folder_.File("sites.txt");
    }
    TempFolder folder_;
};

}  // namespace

TEST_F(SitesFile, MissingEmptyOrFolderReadsAsEmptyText) {
    EXPECT_EQ(ReadSitesFile(), "");
    WriteBytes(SitesPath, "");
    EXPECT_EQ(ReadSitesFile(), "");
    std::filesystem::remove(SitesPath);
    std::filesystem::create_directory(SitesPath);
    EXPECT_EQ(ReadSitesFile(), "");
}

TEST_F(SitesFile, WritesExactlyTheTextAndReadsItBack) {
    // CR LF, NUL and UTF-8 all survive; no mark is put in front and nothing is added at the end.
    SitesText = "a.example\r\n\r\n\xD0\xBF\xD1\x80\xD0\xB8.example\r\nb\0x\r\n"s;
    ASSERT_TRUE(WriteSitesFile());
    EXPECT_EQ(ReadBytes(SitesPath), SitesText);
    // A line holding a NUL is not read as a site, and the file is then not the program's to rewrite.
    EXPECT_EQ(ReadSitesFile(), "a.example\r\n\r\n\xD0\xBF\xD1\x80\xD0\xB8.example\r\n");
    EXPECT_TRUE(SitesFileUnreadable);

    // A list an earlier version wrote in the ANSI code page reads as it did, as UTF-8.
    const std::string ansi = "caf\xE9.example\r\n";
    WriteBytes(SitesPath, ansi);
    EXPECT_EQ(ReadSitesFile(), TextFromAnsiCodePage(ansi));
#ifdef _WIN32
    EXPECT_NE(ReadSitesFile(), ansi);
#endif

    SitesText = "short";
    ASSERT_TRUE(WriteSitesFile());
    EXPECT_EQ(ReadBytes(SitesPath), "short");

    SitesText.clear();
    ASSERT_TRUE(WriteSitesFile());
    EXPECT_EQ(ReadBytes(SitesPath), "");
    EXPECT_TRUE(std::filesystem::exists(SitesPath));
    EXPECT_EQ(folder_.EntryCount(), 1u) << "a temporary file was left behind";
}

namespace {

// UTF-16 as Notepad's "Unicode" (little-endian) or its big-endian form writes it, mark first.
std::string Utf16File(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

}  // namespace

TEST(SitesTextFromFile, Utf16ListsWithTheirMarkReadAsTheirText) {
    const std::u16string list = u"a.example\r\ncaf\u00E9.example\r\n\U0001F600.example\r\n";
    const std::string utf8 = "a.example\r\ncaf\xC3\xA9.example\r\n\xF0\x9F\x98\x80.example\r\n";
    for (bool bigEndian : {false, true}) {
        bool lossy = true;
        EXPECT_EQ(SitesTextFromFile(Utf16File(list, bigEndian), &lossy), utf8) << bigEndian;
        EXPECT_FALSE(lossy);
    }

    // A lone surrogate, a NUL and an odd last byte spoil only what they are in.
    std::u16string damaged = u"x\xD800y.example\r\nb.example\r\nc.ex";
    damaged += u'\0';
    damaged += u"ample\r\nd.example";
    for (bool bigEndian : {false, true}) {
        bool lossy = false;
        EXPECT_EQ(SitesTextFromFile(Utf16File(damaged, bigEndian) + "\x41", &lossy),
                  "x\xEF\xBF\xBDy.example\r\nb.example\r\nd.example");
        EXPECT_TRUE(lossy);
    }
    EXPECT_EQ(SitesTextFromFile(Utf16File(u"\xDC00", false)), "\xEF\xBF\xBD");
    EXPECT_EQ(SitesTextFromFile("\xFF\xFE"), "");
    EXPECT_EQ(SitesTextFromFile("\xFE\xFF\x00"), "");
    // A NUL in a list of one byte a character is the same: its line alone goes.
    EXPECT_EQ(SitesTextFromFile("\0a\rb\nc\0"s), "b\n");
}

TEST_F(SitesFile, AUtf16ListIsReadAndSavedBackAsUtf8) {
    WriteBytes(SitesPath, Utf16File(u"127.0.0.1\r\nlocalhost\r\n", false));
    SitesText = ReadSitesFile();
    EXPECT_EQ(SitesText, "127.0.0.1\r\nlocalhost\r\n");
    EXPECT_FALSE(SitesFileUnreadable);
    ASSERT_TRUE(WriteSitesFile());
    EXPECT_EQ(ReadBytes(SitesPath), "127.0.0.1\r\nlocalhost\r\n");
}

TEST_F(SitesFile, LargeListsRoundTrip) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "host" + std::to_string(i) + ".example\r\n";
    SitesText = text;
    ASSERT_TRUE(WriteSitesFile());
    EXPECT_EQ(ReadSitesFile(), text);
    SitesText = std::string(1 << 20, 'q');
    ASSERT_TRUE(WriteSitesFile());
    EXPECT_EQ(ReadSitesFile().size(), 1u << 20);
}

TEST_F(SitesFile, ReadOnlyFileIsLeftByteForByte) {
    const std::string before = "keep.example\r\nme.example\r\n";
    WriteBytes(SitesPath, before);
    MakeReadOnly(SitesPath, true);
    SitesText = "replacement";
    EXPECT_FALSE(WriteSitesFile());
    MakeReadOnly(SitesPath, false);
    EXPECT_EQ(ReadBytes(SitesPath), before);
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
    SitesPath = folder_.File("gone") + "/sites.txt";
    SitesText = "a.example";
    EXPECT_FALSE(WriteSitesFile());
    EXPECT_EQ(ReadSitesFile(), "");
}

TEST_F(SitesFile, AFolderInTheWayIsNotReplaced) {
    std::filesystem::create_directory(SitesPath);
    SitesText = "a.example";
    EXPECT_FALSE(WriteSitesFile());
    EXPECT_TRUE(std::filesystem::is_directory(SitesPath));
}

#ifdef _WIN32
TEST_F(SitesFile, LockedFileIsLeftByteForByte) {
    const std::string before = "locked.example\r\n";
    WriteBytes(SitesPath, before);
    {
        // Another program holding the file without sharing it.
        HANDLE lock = CreateFileA(SitesPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        SitesText = "replacement";
        EXPECT_FALSE(WriteSitesFile());
        EXPECT_EQ(ReadSitesFile(), "") << "a file locked against reading reads as empty";
        CloseHandle(lock);
    }
    EXPECT_EQ(ReadBytes(SitesPath), before);
    EXPECT_EQ(folder_.EntryCount(), 1u) << "a temporary file was left behind";
}
#endif
