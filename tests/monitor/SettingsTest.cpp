// monitor.ini and sites.txt through LoadSettings and SaveSettings, with the real
// private-profile functions and the real registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "RegistryTestSupport.h"
#include "TempFolder.h"
#include "WinTestSupport.h"
#include "monitor/AppFolder.h"
#include "monitor/Conversions.h"
#include "monitor/Settings.h"
#include "monitor/SettingsStore.h"
#include "monitor/SiteList.h"
#include "ui/base/GdiHandles.h"
#include "ui/base/WideText.h"
#include "ui/prefs/clsRegistry.h"

using namespace corvale;
using namespace corvale::test;
using namespace std::string_literals;

namespace {

// section -> key -> value, read back the way the file is laid out.
using IniContents = std::map<std::string, std::map<std::string, std::string>>;

IniContents ParseIni(const std::string& text) {
    IniContents ini;
    std::string section;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.front() == '[') {
            section = line.substr(1, line.find(']') - 1);
            ini[section];
        } else if (auto eq = line.find('='); eq != std::string::npos) {
            ini[section][line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return ini;
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        AppFolder = folder_.Folder();
        SitesPath = AppFolder + "sites.txt";
        SitesText.clear();
        CheckInterval = 20;
        TransPerc = 100;
        MiniMode = false;
        NormalHue = ErrorHue = 0;
        SetUserMessageSink([this](std::string_view text) { messages_.emplace_back(text); });
    }
    void TearDown() override {
        SetUserMessageSink({});
    }
    std::string IniPath() const { return AppFolder + "monitor.ini"; }
    void WriteIni(const std::string& text) { WriteBytes(IniPath(), text); }
    void LoadWith(const std::string& general) { WriteIni("[General]\r\n" + general + "\r\n"); LoadSettings(); }

    TempFolder folder_;
    std::vector<std::string> messages_;
    StartupEntryGuard startupEntry_;
};

}  // namespace

TEST_F(Settings, NoFileGivesTheFirstRunValuesAndAnyFileTheFallbacks) {
    NormalHue = 7;
    LoadSettings();
    EXPECT_EQ(TransPerc, 255) << "opaque";
    EXPECT_EQ(CheckInterval, 20.0f);
    EXPECT_FALSE(MiniMode);
    EXPECT_EQ(PingTimeout, 0.0f);
    EXPECT_EQ(NormalHue, 127) << "green";
    EXPECT_EQ(ErrorHue, 42) << "red";
    EXPECT_EQ(SitesText, "");
    EXPECT_EQ(SiteLast, -1);
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(folder_.EntryCount(), 0u) << "nothing is written by a load";

    // The first setting stored on its own (the mode switch) brings the others in effect with
    // it, so the next start shows what this one showed.
    ASSERT_TRUE(StoreSetting("General", "MiniMode", "True"));
    TransPerc = 0;
    NormalHue = ErrorHue = 0;
    LoadSettings();
    EXPECT_TRUE(MiniMode);
    EXPECT_EQ(TransPerc, 255);
    EXPECT_EQ(NormalHue, 127);
    EXPECT_EQ(ErrorHue, 42);

    // A file that is there, even empty, is the user's: its missing keys take the fallbacks.
    WriteIni("");
    LoadSettings();
    EXPECT_EQ(TransPerc, 30);
    EXPECT_EQ(NormalHue, 0);
    EXPECT_EQ(ErrorHue, 0);
}

TEST_F(Settings, LowerBoundsOfTransPercAndCheckInterval) {
    struct Case {
        const char* value;
        int transPerc;
        float checkInterval;
    };
    for (Case c : {Case{"5", 30, 20}, Case{"9", 30, 20}, Case{"9.5", 10, 10}, Case{"10", 10, 10},
                   Case{"255", 255, 255}, Case{"letters", 30, 20}, Case{"-40", 30, 20}, Case{"", 30, 20},
                   Case{"40000", 30, 20}}) {
        LoadWith("TransPerc="s + c.value + "\r\nCheckInterval=" + c.value);
        EXPECT_EQ(TransPerc, c.transPerc) << c.value;
        EXPECT_EQ(CheckInterval, c.checkInterval) << c.value;
    }
}

TEST_F(Settings, BooleanReadingsAndTrailingSpaces) {
    for (const char* yes : {"True", "true", "-1", "1", "  TRUE  "}) {
        LoadWith("MiniMode="s + yes);
        EXPECT_TRUE(MiniMode) << yes;
    }
    for (const char* no : {"", "yes", "0", "False", "Tru e"}) {
        LoadWith("MiniMode="s + no);
        EXPECT_FALSE(MiniMode) << no;
    }
    LoadWith("TransPerc=200   \r\nCheckInterval=45\t \r\nPingTimeout=1500.5");
    EXPECT_EQ(ReadIniValue("General", "TransPerc"), "200");
    EXPECT_EQ(TransPerc, 200);
    EXPECT_EQ(CheckInterval, 45.0f);
    EXPECT_EQ(PingTimeout, 1500.0f);
}

TEST_F(Settings, HuesOutsideSixteenBitsKeepTheOldValue) {
    WriteIni("[Colors]\r\nNormal=120\r\nError=-5\r\n");
    LoadSettings();
    EXPECT_EQ(NormalHue, 120);
    EXPECT_EQ(ErrorHue, -5);
    WriteIni("[Colors]\r\nNormal=40000\r\nError=-32769\r\n");
    LoadSettings();
    EXPECT_EQ(NormalHue, 120);
    EXPECT_EQ(ErrorHue, -5);
    WriteIni("[Colors]\r\nNormal=abc\r\n");
    LoadSettings();
    EXPECT_EQ(NormalHue, 0);
    EXPECT_EQ(ErrorHue, 0);
}

TEST_F(Settings, StartupKeyDrivesTheRegistryAtEveryLoad) {
    LoadWith("Startup=1");
    EXPECT_TRUE(StartupEntryExists());
    LoadWith("Startup=2");
    EXPECT_TRUE(StartupEntryExists()) << "other values leave the entry alone";
    LoadWith("Startup=0");
    EXPECT_FALSE(StartupEntryExists());
    LoadWith("Startup=7");
    EXPECT_FALSE(StartupEntryExists()) << "other values leave the entry alone";
    LoadWith("Startup=1");
    EXPECT_TRUE(StartupEntryExists());
    LoadWith("MiniMode=True");  // the key deleted from the file: read as 0
    EXPECT_FALSE(StartupEntryExists());
}

TEST_F(Settings, GarbageAndOverlongValuesLoadAsDefaults) {
    std::string garbage = "\xff\xfe[Gen\0eral\r\n==\r\n[General\r\nTransPerc\r\n=5\r\n\x01\x02\x03"s;
    for (int i = 0; i < 2000; ++i) garbage += static_cast<char>((i * 37) % 251 + 1);
    WriteIni(garbage);
    LoadSettings();
    EXPECT_EQ(TransPerc, 30);
    EXPECT_EQ(CheckInterval, 20.0f);
    EXPECT_FALSE(MiniMode);

    std::string longDigits(10000, '7');
    // Only the first 144 characters count: the junk after the spaces is cut away.
    LoadWith("TransPerc=" + longDigits + "\r\nCheckInterval=12" + std::string(10000, ' ') + "junk\r\nMiniMode=" +
             std::string(10000, 'T'));
    EXPECT_EQ(ReadIniValue("General", "TransPerc"), std::string(kIniValueBuffer - 1, '7'));
    EXPECT_EQ(TransPerc, 30);
    EXPECT_EQ(CheckInterval, 12.0f);
    EXPECT_FALSE(MiniMode);
}

TEST_F(Settings, SaveWritesItsFiveKeysAndKeepsForeignOnes) {
    WriteIni("[General]\r\nPingTimeout=500\r\nStartup=2\r\nCustom=keep me\r\n[Other]\r\nX=y\r\n");
    MiniMode = true;
    CheckInterval = 25;
    TransPerc = 180;
    NormalHue = 128;
    ErrorHue = -3;
    SitesText = "a.example\r\nb.example";
    SaveSettings();
    EXPECT_TRUE(messages_.empty());

    IniContents ini = ParseIni(ReadBytes(IniPath()));
    EXPECT_EQ(ini["General"], (std::map<std::string, std::string>{{"PingTimeout", "500"},
                                                                    {"Startup", "2"},
                                                                    {"Custom", "keep me"},
                                                                    {"MiniMode", "True"},
                                                                    {"CheckInterval", "25"},
                                                                    {"TransPerc", "180"}}));
    EXPECT_EQ(ini["Colors"], (std::map<std::string, std::string>{{"Normal", "128"}, {"Error", "-3"}}));
    EXPECT_EQ(ini["Other"], (std::map<std::string, std::string>{{"X", "y"}}));
    EXPECT_EQ(ini.size(), 3u);
    EXPECT_EQ(ReadBytes(SitesPath), "a.example\r\nb.example");

    MiniMode = false;
    SaveSettings();
    EXPECT_EQ(ParseIni(ReadBytes(IniPath()))["General"]["MiniMode"], "False");
}

TEST_F(Settings, WhatIsSavedIsWhatLoads) {
    MiniMode = true;
    CheckInterval = 600;
    TransPerc = 5;  // below the bound: saved as is, loaded as 30
    NormalHue = 200;
    ErrorHue = 10;
    SitesText = "a.example\r\n\r\na.example\r\n  \r\nb.example\r\n";
    SaveSettings();
    MiniMode = false;
    CheckInterval = TransPerc = NormalHue = ErrorHue = 0;
    LoadSettings();
    EXPECT_TRUE(MiniMode);
    EXPECT_EQ(CheckInterval, 600.0f);
    EXPECT_EQ(TransPerc, 30);
    EXPECT_EQ(NormalHue, 200);
    EXPECT_EQ(ErrorHue, 10);
    EXPECT_EQ(SitesText, "a.example\r\n\r\na.example\r\n  \r\nb.example\r\n");
    ASSERT_EQ(SiteLast, 1);
    EXPECT_EQ(Sites[1].Url, "b.example");
}

TEST_F(Settings, TwentyFiveLinesAreKeptInTheFileButTwentyLoad) {
    std::string text;
    for (int i = 0; i < 25; ++i) text += "site" + std::to_string(i) + ".example\r\n";
    SitesText = text;
    SaveSettings();
    LoadSettings();
    EXPECT_EQ(ReadBytes(SitesPath), text);
    EXPECT_EQ(SiteLast, 19);
    EXPECT_EQ(Sites[19].Url, "site19.example");
}

TEST_F(Settings, HostileSiteFilesLoad) {
    const std::string binary = "a.example\0evil\r\n\0\0\0\r\n\xff\r\n"s;
    WriteBytes(SitesPath, binary);
    LoadSettings();
    EXPECT_EQ(SitesText, TextFromAnsiCodePage("\xff\r\n")) << "not UTF-8: the ANSI code page, less NUL lines";
    EXPECT_EQ(SiteLast, 0);
    SaveSettings();
    EXPECT_EQ(ReadBytes(SitesPath), binary) << "what was left out stays in the file";

    std::string many;
    for (int i = 0; i < 100000; ++i) many += "host" + std::to_string(i) + "\r\n";
    WriteBytes(SitesPath, many);
    LoadSettings();
    EXPECT_EQ(SitesText, many);
    EXPECT_EQ(SiteLast, 19);

    WriteBytes(SitesPath, std::string(1 << 20, 'z'));
    LoadSettings();
    ASSERT_EQ(SiteLast, 0);
    EXPECT_EQ(Sites[0].Url.size(), 1u << 20);
}

TEST_F(Settings, FailedSiteSaveLeavesTheFileAndSaysSo) {
    const std::string before = "first.example\r\nsecond.example\r\n";
    WriteBytes(SitesPath, before);
    SitesText = "replaced.example";
    TransPerc = 77;

    MakeReadOnly(SitesPath, true);
    SaveSettings();
    MakeReadOnly(SitesPath, false);
    ASSERT_EQ(messages_, (std::vector<std::string>{"Sites file could not be saved."}));
    EXPECT_EQ(ReadBytes(SitesPath), before);
    EXPECT_EQ(ReadIniValue("General", "TransPerc"), "77") << "the settings are written all the same";
    EXPECT_EQ(SitesText, "replaced.example") << "the edited list stays in memory";

    messages_.clear();
    HANDLE lock = CreateFileA(SitesPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    SaveSettings();
    CloseHandle(lock);
    EXPECT_EQ(messages_, (std::vector<std::string>{"Sites file could not be saved."}));
    EXPECT_EQ(ReadBytes(SitesPath), before);
    EXPECT_EQ(folder_.EntryCount(), 2u) << "only monitor.ini and sites.txt, no temporary file";
}

// monitor.ini held by another program without sharing: it cannot be written, as in a
// folder the user may not write. (The tests may run as root, which a read-only mark or
// folder would not stop.)
class HeldFile {
public:
    explicit HeldFile(const std::string& path)
        : handle_(CreateFileW(Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    void Let() { handle_.Close(); }

private:
    KernelHandle handle_;
};

TEST_F(Settings, WritesTheFileCannotTakeAreToldOnceAndTheValuesStayInMemory) {
    WriteIni("[General]\r\nCheckInterval=30\r\n");
    WriteBytes(SitesPath, "old.example\r\n");
    HeldFile held(IniPath());
    CheckInterval = 45;
    SitesText = "new.example\r\n";
    EXPECT_FALSE(SaveSettings());
    ASSERT_EQ(messages_, (std::vector<std::string>{"Settings could not be saved.\r\n\r\n" + AppFolder}));
    EXPECT_EQ(ReadBytes(SitesPath), "new.example\r\n") << "the list's own file could take it";
    EXPECT_EQ(CheckInterval, 45.0f);

    // Both files refused: still one message, naming both.
    messages_.clear();
    MakeReadOnly(SitesPath, true);
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(messages_, (std::vector<std::string>{"Sites file could not be saved.\r\nSettings could not be saved."
                                                    "\r\n\r\n" + AppFolder}));

    // A setting stored on its own says so too; one the file takes says nothing.
    messages_.clear();
    EXPECT_FALSE(StoreSetting(kGeneralSection, kMiniModeKey, "True"));
    EXPECT_EQ(messages_.size(), 1u);
    held.Let();
    MakeReadOnly(SitesPath, false);
    EXPECT_EQ(ReadIniValue("General", "CheckInterval"), "30");
    EXPECT_TRUE(StoreSetting(kGeneralSection, kMiniModeKey, "True"));
    EXPECT_EQ(messages_.size(), 1u);
}

namespace {

HWND OwnMessageBox() {
    struct Search {
        DWORD process = GetCurrentProcessId();
        HWND found = nullptr;
    } search;
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            char className[16] = {};
            GetClassNameA(window, className, sizeof className);
            if (process != s->process || std::string(className) != "#32770" || !IsWindowVisible(window))
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

TEST_F(Settings, FailedSiteSaveMessageHoldsOffTheProgramsWindows) {
    // The real message box: while it is up, a second Save or a Cancel of the dialog
    // behind it must not be possible.
    SetUserMessageSink({});
    TestHostWindow dialog(200, 100, "stands for the preferences dialog");
    std::filesystem::create_directory(SitesPath);  // a folder in the way: the save fails
    std::atomic<int> dialogEnabledMeanwhile{-1};
    char boxText[64] = {};
    std::thread dismisser([&] {
        for (int i = 0; i < 1000; ++i) {
            if (HWND box = OwnMessageBox()) {
                dialogEnabledMeanwhile = IsWindowEnabled(dialog.Handle()) ? 1 : 0;
                GetDlgItemTextA(box, 0xFFFF, boxText, sizeof boxText);  // the box's text control
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(10);
        }
    });
    SaveSettings();
    dismisser.join();
    EXPECT_EQ(dialogEnabledMeanwhile, 0) << "-1: no message box was shown";
    EXPECT_STREQ(boxText, "Sites file could not be saved.");
    EXPECT_TRUE(IsWindowEnabled(dialog.Handle()));
}
