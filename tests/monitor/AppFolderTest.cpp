#include <gtest/gtest.h>

#include "monitor/AppFolder.h"
#include "ui/prefs/RegistryText.h"

using namespace corvale;

TEST(AppFolder, FolderOfTheProgramEndsInOneBackslash) {
    EXPECT_EQ(AppFolderFromModulePath("C:\\Tools\\Corvale\\Corvale.exe"), "C:\\Tools\\Corvale\\");
    EXPECT_EQ(AppFolderFromModulePath("C:\\Corvale.exe"), "C:\\");
    EXPECT_EQ(AppFolderFromModulePath("\\\\server\\share\\Corvale.exe"), "\\\\server\\share\\");
    EXPECT_EQ(FolderOfPath("C:\\a\\b.txt"), "C:\\a\\");
    EXPECT_EQ(FolderOfPath("/tmp/x/sites.txt"), "/tmp/x/");
    EXPECT_EQ(FolderOfPath("sites.txt"), "");
}

TEST(AppFolder, ProgramFileStemDropsOnlyTheLastExtension) {
    EXPECT_EQ(ProgramFileStem("C:\\Tools\\Corvale.exe"), "Corvale");
    EXPECT_EQ(ProgramFileStem("C:\\Tools\\My.Monitor.EXE"), "My.Monitor");
    EXPECT_EQ(ProgramFileStem("C:\\dotted.dir\\plain"), "plain");
    EXPECT_EQ(ProgramFileStem("Renamed.exe"), "Renamed");
}

TEST(StartupCommandLine, QuotedOnlyWhenThePathHoldsASpace) {
    EXPECT_EQ(StartupCommandLine("C:\\Tools\\", "Corvale"), "C:\\Tools\\Corvale.exe");
    EXPECT_EQ(StartupCommandLine("C:\\Program Files\\Corvale\\", "Corvale"),
              "\"C:\\Program Files\\Corvale\\Corvale.exe\"");
    EXPECT_EQ(StartupCommandLine("C:\\Tools\\", "My Monitor"), "\"C:\\Tools\\My Monitor.exe\"");
}

TEST(RegistryTextType, TwoSeparatedPercentSignsMakeAnExpandableText) {
    EXPECT_EQ(RegistryTextType("C:\\Tools\\Corvale.exe"), kRegSz);
    EXPECT_EQ(RegistryTextType("C:\\%USERNAME%\\Corvale.exe"), kRegExpandSz);
    EXPECT_EQ(RegistryTextType("%a%"), kRegExpandSz);
    EXPECT_EQ(RegistryTextType("100%"), kRegSz);
    EXPECT_EQ(RegistryTextType("%%"), kRegSz);       // side by side: not a variable
    EXPECT_EQ(RegistryTextType("a%%b"), kRegSz);
    EXPECT_EQ(RegistryTextType("%%%"), kRegExpandSz);
    EXPECT_EQ(RegistryTextType("\"C:\\50% off\\x%\""), kRegExpandSz);
    EXPECT_EQ(RegistryTextType(""), kRegSz);
}
