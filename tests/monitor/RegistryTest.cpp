// The registry class against the real registry (the current user's hive of the Wine
// prefix under Wine). Everything written is removed again, and a start-up entry that
// existed before is put back.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "RegistryTestSupport.h"
#include "TempFolder.h"
#include "monitor/AppFolder.h"
#include "monitor/Settings.h"
#include "ui/prefs/clsRegistry.h"

using namespace corvale;
using namespace corvale::test;

namespace {

class Registry : public ::testing::Test {
protected:
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, testKey_.c_str());
    }
    // A key of its own right under Software: a parent shared with a test program running
    // at the same time could be deleted by it between our creating and using the child.
    std::string testKey_ = "Software\\CorvaleTests.clsRegistry" + std::to_string(GetCurrentProcessId());
};

std::string OwnFileName() { return ProgramFileStem(ProgramModulePath()) + ".exe"; }

}  // namespace

TEST_F(Registry, TextIsStoredWithItsNulAndTheKeyIsCreated) {
    clsRegistry registry;
    registry.SetClassKey(HKEY_CURRENT_USER);
    registry.SetSectionKey(testKey_ + "\\deeper\\");
    registry.SetValueKey("Plain");
    registry.SetValueType(REG_SZ);
    registry.SetValue("C:\\Tools\\Corvale.exe");
    auto value = ReadValue(testKey_ + "\\deeper", "Plain");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->data, Stored("C:\\Tools\\Corvale.exe"));

    registry.SetValueKey("");  // the key's default value
    registry.SetValue("");
    value = ReadValue(testKey_ + "\\deeper", "");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->data, Stored(""));
}

TEST_F(Registry, PercentSignsDecideTheType) {
    clsRegistry registry;
    registry.SetSectionKey(testKey_);
    struct Case {
        const char* text;
        DWORD type;
    };
    int n = 0;
    for (Case c : {Case{"%APPDATA%\\x.exe", REG_EXPAND_SZ}, Case{"100%", REG_SZ}, Case{"a%%b", REG_SZ},
                   Case{"C:\\a%b\\c%d\\x.exe", REG_EXPAND_SZ}}) {
        std::string name = std::string("v").append(std::to_string(n++));
        registry.SetValueKey(name);
        // Even when asked for an expandable text, a text without a variable is plain.
        registry.SetValueType(n % 2 ? REG_SZ : REG_EXPAND_SZ);
        registry.SetValue(c.text);
        auto value = ReadValue(testKey_, name);
        ASSERT_TRUE(value) << c.text;
        EXPECT_EQ(value->type, c.type) << c.text;
        EXPECT_EQ(value->data, Stored(c.text));
    }
}

TEST_F(Registry, NumbersAreStoredAsDword) {
    clsRegistry registry;
    registry.SetSectionKey(testKey_);
    registry.SetValueKey("Number");
    registry.SetValueType(REG_DWORD);
    registry.SetValue("1234");
    auto value = ReadValue(testKey_, "Number");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD));
    ASSERT_EQ(value->data.size(), 4u);
    DWORD stored = 0;
    memcpy(&stored, value->data.data(), 4);
    EXPECT_EQ(stored, 1234u);
}

TEST_F(Registry, DeleteValueTellsWhetherThereWasOne) {
    clsRegistry registry;
    registry.SetSectionKey(testKey_ + "\\missing");
    registry.SetValueKey("Nothing");
    EXPECT_FALSE(registry.DeleteValue()) << "the key does not exist";

    registry.SetSectionKey(testKey_);
    registry.SetValue("x");
    EXPECT_TRUE(registry.DeleteValue());
    EXPECT_FALSE(ReadValue(testKey_, "Nothing"));
    EXPECT_FALSE(registry.DeleteValue()) << "the value is already gone";
}

TEST_F(Registry, StartupEntryNamesTheProgramFile) {
    StartupEntryGuard guard;
    test::TempFolder folder;
    const std::string appFolder = folder.Folder();
    ASSERT_EQ(appFolder.find(' '), std::string::npos);

    clsRegistry registry(appFolder);
    registry.AddToStartup();
    EXPECT_EQ(registry.ClassKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(registry.SectionKey(), kRunKeyPath);
    EXPECT_EQ(registry.ValueKey(), "Corvale");
    auto value = ReadValue(kRunKeyPath, "Corvale");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->data, Stored(appFolder + OwnFileName()));

    registry.RemoveFromStartup();
    EXPECT_FALSE(ReadValue(kRunKeyPath, "Corvale"));
    registry.RemoveFromStartup();  // nothing left to remove: no harm, nothing reported
    EXPECT_FALSE(ReadValue(kRunKeyPath, "Corvale"));
}

TEST(ProgramFolder, IsTheFolderOfTheRunningFile) {
    std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_NE(GetFileAttributesA((folder + OwnFileName()).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Registry, StartupPathWithSpacesIsQuotedAndVariablesExpand) {
    StartupEntryGuard guard;
    clsRegistry("C:\\Program Files\\Corvale\\").AddToStartup();
    auto value = ReadValue(kRunKeyPath, "Corvale");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->data, Stored("\"C:\\Program Files\\Corvale\\" + OwnFileName() + "\""));

    clsRegistry("C:\\50%\\x%y\\").AddToStartup();
    value = ReadValue(kRunKeyPath, "Corvale");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(value->data, Stored("C:\\50%\\x%y\\" + OwnFileName()));
}

TEST_F(Registry, TheStoredChoiceTouchesTheEntryOnlyWhereItNamesThisCopy) {
    StartupEntryGuard guard;
    test::TempFolder folder;
    clsRegistry ours(folder.Folder());
    // Another copy of the program, in another folder, holds the entry.
    clsRegistry("C:\\Tools\\Corvale 1.0\\").AddToStartup();
    for (int16_t stored : {int16_t{0}, int16_t{1}, kStartupNotStored, int16_t{7}}) {
        ours.ApplyStoredStartup(stored);
        const auto value = ReadValue(kRunKeyPath, "Corvale");
        ASSERT_TRUE(value) << stored;
        EXPECT_EQ(value->data, Stored("\"C:\\Tools\\Corvale 1.0\\" + OwnFileName() + "\"")) << stored;
        EXPECT_FALSE(ours.StartupEntryIsOurs());
    }
    // Its own entry follows the choice; with no entry at all, 1 makes one.
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKeyPath, "Corvale");
    ours.ApplyStoredStartup(kStartupNotStored);
    EXPECT_FALSE(ReadValue(kRunKeyPath, "Corvale"));
    ours.ApplyStoredStartup(1);
    EXPECT_TRUE(ours.StartupEntryIsOurs());
    ours.ApplyStoredStartup(kStartupNotStored);
    EXPECT_TRUE(ours.StartupEntryIsOurs()) << "nothing stored leaves it";
    ours.ApplyStoredStartup(0);
    EXPECT_FALSE(ReadValue(kRunKeyPath, "Corvale"));
}
