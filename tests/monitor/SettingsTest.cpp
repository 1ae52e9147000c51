// monitor.ini and sites.txt through the settings store's load and save, with the real
// private-profile functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "TempFolder.h"
#include "WinTestSupport.h"
#include "monitor/AppFolder.h"
#include "monitor/Conversions.h"
#include "monitor/Settings.h"
#include "monitor/SettingsStore.h"
#include "monitor/SiteList.h"
#include "monitor/Handles.h"
#include "monitor/WideText.h"

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
        s_.AppFolder = AppFolder;
        s_.SitesPath = SitesPath;
    }
    std::string IniPath() const { return AppFolder + "monitor.ini"; }
    void WriteIni(const std::string& text) { WriteBytes(IniPath(), text); }
    void Load() { s_ = store_.Load(); }
    void LoadWith(const std::string& general) { WriteIni("[General]\r\n" + general + "\r\n"); Load(); }
    std::vector<std::string> Lines() {
        std::vector<std::string> targets;
        for (const SiteLine& site : AcceptedSiteLines(s_.SitesText)) targets.push_back(site.target);
        return targets;
    }

    TempFolder folder_;
    const std::string AppFolder = folder_.Folder();
    const std::string SitesPath = AppFolder + "sites.txt";
    std::vector<std::string> messages_;
    SettingsStore store_{AppFolder, [this](std::string_view text) { messages_.emplace_back(text); }};
    ProgramSettings s_;  // the settings in effect
};

}  // namespace

TEST_F(Settings, NoFileGivesTheFirstRunValuesAndAnyFileTheFallbacks) {
    Load();
    EXPECT_EQ(s_.TransPerc, 255) << "opaque";
    EXPECT_EQ(s_.CheckInterval, 20.0f);
    EXPECT_FALSE(s_.MiniMode);
    EXPECT_EQ(s_.PingTimeout, 0.0f);
    EXPECT_EQ(s_.NormalHue, 127) << "green";
    EXPECT_EQ(s_.ErrorHue, 42) << "red";
    EXPECT_EQ(s_.SitesText, "");
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(folder_.EntryCount(), 0u) << "nothing is written by a load";

    // The first setting stored on its own (the mode switch) brings the others in effect with
    // it, so the next start shows what this one showed.
    ASSERT_TRUE(store_.Store("General", "MiniMode", "True", s_));
    Load();
    EXPECT_TRUE(s_.MiniMode);
    EXPECT_EQ(s_.TransPerc, 255);
    EXPECT_EQ(s_.NormalHue, 127);
    EXPECT_EQ(s_.ErrorHue, 42);

    // A file that is there, even empty, is the user's: its missing keys take the fallbacks.
    WriteIni("");
    Load();
    EXPECT_EQ(s_.TransPerc, 30);
    EXPECT_EQ(s_.NormalHue, 0);
    EXPECT_EQ(s_.ErrorHue, 0);
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
        EXPECT_EQ(s_.TransPerc, c.transPerc) << c.value;
        EXPECT_EQ(s_.CheckInterval, c.checkInterval) << c.value;
    }
}

TEST_F(Settings, BooleanReadingsAndTrailingSpaces) {
    for (const char* yes : {"True", "true", "-1", "1", "  TRUE  "}) {
        LoadWith("MiniMode="s + yes);
        EXPECT_TRUE(s_.MiniMode) << yes;
    }
    for (const char* no : {"", "yes", "0", "False", "Tru e"}) {
        LoadWith("MiniMode="s + no);
        EXPECT_FALSE(s_.MiniMode) << no;
    }
    LoadWith("TransPerc=200   \r\nCheckInterval=45\t \r\nPingTimeout=1500.5");
    EXPECT_EQ(store_.Read("General", "TransPerc"), "200");
    EXPECT_EQ(s_.TransPerc, 200);
    EXPECT_EQ(s_.CheckInterval, 45.0f);
    EXPECT_EQ(s_.PingTimeout, 1500.0f);
}

TEST_F(Settings, HuesOutsideSixteenBitsKeepTheStartValue) {
    WriteIni("[Colors]\r\nNormal=120\r\nError=-5\r\n");
    Load();
    EXPECT_EQ(s_.NormalHue, 120);
    EXPECT_EQ(s_.ErrorHue, -5);
    WriteIni("[Colors]\r\nNormal=40000\r\nError=-32769\r\n");
    Load();
    EXPECT_EQ(s_.NormalHue, 0);
    EXPECT_EQ(s_.ErrorHue, 0);
    WriteIni("[Colors]\r\nNormal=abc\r\n");
    Load();
    EXPECT_EQ(s_.NormalHue, 0);
    EXPECT_EQ(s_.ErrorHue, 0);
}

TEST_F(Settings, StartupNotifyAndLogAreReadAsStoredAndNothingStoredIsToldApart) {
    Load();
    EXPECT_EQ(s_.Startup, kStartupNotStored) << "the entry of another copy is then left alone";
    EXPECT_TRUE(s_.Notify);
    EXPECT_FALSE(s_.Log);
    for (int16_t stored : {0, 1, 2, 7}) {
        LoadWith("Startup=" + std::to_string(stored));
        EXPECT_EQ(s_.Startup, stored);
    }
    LoadWith("Notify=x\r\nLog=yes");
    EXPECT_TRUE(s_.Notify) << "only 0 turns the balloons off";
    EXPECT_FALSE(s_.Log) << "only 1 turns the log on";
    LoadWith("Notify=0\r\nLog=1");
    EXPECT_FALSE(s_.Notify);
    EXPECT_TRUE(s_.Log);
}

TEST_F(Settings, GarbageAndOverlongValuesLoadAsDefaults) {
    std::string garbage = "\xff\xfe[Gen\0eral\r\n==\r\n[General\r\nTransPerc\r\n=5\r\n\x01\x02\x03"s;
    for (int i = 0; i < 2000; ++i) garbage += static_cast<char>((i * 37) % 251 + 1);
    WriteIni(garbage);
    Load();
    EXPECT_EQ(s_.TransPerc, 30);
    EXPECT_EQ(s_.CheckInterval, 20.0f);
    EXPECT_FALSE(s_.MiniMode);

    std::string longDigits(10000, '7');
    // Only the first 144 characters count: the junk after the spaces is cut away.
    LoadWith("TransPerc=" + longDigits + "\r\nCheckInterval=12" + std::string(10000, ' ') + "junk\r\nMiniMode=" +
             std::string(10000, 'T'));
    EXPECT_EQ(store_.Read("General", "TransPerc"), std::string(kIniValueBuffer - 1, '7'));
    EXPECT_EQ(s_.TransPerc, 30);
    EXPECT_EQ(s_.CheckInterval, 12.0f);
    EXPECT_FALSE(s_.MiniMode);
}

TEST_F(Settings, SaveWritesItsKeysAndKeepsForeignOnes) {
    WriteIni("[General]\r\nPingTimeout=500\r\nStartup=2\r\nCustom=keep me\r\n[Other]\r\nX=y\r\n");
    s_.MiniMode = true;
    s_.CheckInterval = 25;
    s_.TransPerc = 180;
    s_.NormalHue = 128;
    s_.ErrorHue = -3;
    s_.SitesText = "a.example\r\nb.example";
    store_.Save(s_);
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
    EXPECT_EQ(ini["Alerts"], (std::map<std::string, std::string>{
                                 {"Sound", "0"}, {"Command", ""}, {"WebHook", ""}, {"WebHookBody", "%MESSAGE%"}}));
    EXPECT_EQ(ini.size(), 4u);
    EXPECT_EQ(ReadBytes(SitesPath), "a.example\r\nb.example");

    s_.MiniMode = false;
    store_.Save(s_);
    EXPECT_EQ(ParseIni(ReadBytes(IniPath()))["General"]["MiniMode"], "False");
}

TEST_F(Settings, WhatIsSavedIsWhatLoads) {
    s_.MiniMode = true;
    s_.CheckInterval = 600;
    s_.TransPerc = 5;  // below the bound: saved as is, loaded as 30
    s_.NormalHue = 200;
    s_.ErrorHue = 10;
    s_.SitesText = "a.example\r\n\r\na.example\r\n  \r\nb.example\r\n";
    // An address with a long key, and a command line, are kept whole.
    s_.Sound = true;
    s_.WebHook = "https://hooks.example.test/notify?key=" + std::string(400, 'k');
    s_.Command = "\"C:\\Tools\\tell me.exe\" \"%MESSAGE%\"";  // quotes at both ends, which the file drops
    s_.WebHookBody = "{\"text\": \"%MESSAGE%\"}";
    store_.Save(s_);
    Load();
    EXPECT_TRUE(s_.Sound);
    EXPECT_EQ(s_.WebHook.size(), 438u);
    EXPECT_EQ(s_.Command, "\"C:\\Tools\\tell me.exe\" \"%MESSAGE%\"");
    EXPECT_EQ(s_.WebHookBody, "{\"text\": \"%MESSAGE%\"}");
    EXPECT_TRUE(s_.MiniMode);
    EXPECT_EQ(s_.CheckInterval, 600.0f);
    EXPECT_EQ(s_.TransPerc, 30);
    EXPECT_EQ(s_.NormalHue, 200);
    EXPECT_EQ(s_.ErrorHue, 10);
    EXPECT_EQ(s_.SitesText, "a.example\r\n\r\na.example\r\n  \r\nb.example\r\n");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"a.example", "b.example"}));
}

TEST_F(Settings, TwentyFiveLinesAreKeptInTheFileButTwentyLoad) {
    std::string text;
    for (int i = 0; i < 25; ++i) text += "site" + std::to_string(i) + ".example\r\n";
    s_.SitesText = text;
    store_.Save(s_);
    Load();
    EXPECT_EQ(ReadBytes(SitesPath), text);
    ASSERT_EQ(Lines().size(), 20u);
    EXPECT_EQ(Lines()[19], "site19.example");
}

TEST_F(Settings, HostileSiteFilesLoad) {
    const std::string binary = "a.example\0evil\r\n\0\0\0\r\n\xff\r\n"s;
    WriteBytes(SitesPath, binary);
    Load();
    EXPECT_EQ(s_.SitesText, TextFromAnsiCodePage("\xff\r\n")) << "not UTF-8: the ANSI code page, less NUL lines";
    EXPECT_EQ(Lines().size(), 1u);
    store_.Save(s_);
    EXPECT_EQ(ReadBytes(SitesPath), binary) << "what was left out stays in the file";

    std::string many;
    for (int i = 0; i < 100000; ++i) many += "host" + std::to_string(i) + "\r\n";
    WriteBytes(SitesPath, many);
    Load();
    EXPECT_EQ(s_.SitesText, many);
    EXPECT_EQ(Lines().size(), 20u);

    WriteBytes(SitesPath, std::string(1 << 20, 'z'));
    Load();
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines()[0].size(), 1u << 20);
}

TEST_F(Settings, FailedSiteSaveLeavesTheFileAndSaysSo) {
    const std::string before = "first.example\r\nsecond.example\r\n";
    WriteBytes(SitesPath, before);
    s_.SitesText = "replaced.example";
    s_.TransPerc = 77;

    MakeReadOnly(SitesPath, true);
    store_.Save(s_);
    MakeReadOnly(SitesPath, false);
    ASSERT_EQ(messages_, (std::vector<std::string>{"Sites file could not be saved."}));
    EXPECT_EQ(ReadBytes(SitesPath), before);
    EXPECT_EQ(store_.Read("General", "TransPerc"), "77") << "the settings are written all the same";
    EXPECT_EQ(s_.SitesText, "replaced.example") << "the edited list stays in memory";

    messages_.clear();
    HANDLE lock = CreateFileA(SitesPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    store_.Save(s_);
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
    s_.CheckInterval = 45;
    s_.SitesText = "new.example\r\n";
    EXPECT_FALSE(store_.Save(s_));
    ASSERT_EQ(messages_, (std::vector<std::string>{"Settings could not be saved.\r\n\r\n" + AppFolder}));
    EXPECT_EQ(ReadBytes(SitesPath), "new.example\r\n") << "the list's own file could take it";
    EXPECT_EQ(s_.CheckInterval, 45.0f);

    // Both files refused: still one message, naming both.
    messages_.clear();
    MakeReadOnly(SitesPath, true);
    EXPECT_FALSE(store_.Save(s_));
    EXPECT_EQ(messages_, (std::vector<std::string>{"Sites file could not be saved.\r\nSettings could not be saved."
                                                    "\r\n\r\n" + AppFolder}));

    // A setting stored on its own says so too; one the file takes says nothing.
    messages_.clear();
    EXPECT_FALSE(store_.Store(kGeneralSection, kMiniModeKey, "True", s_));
    EXPECT_EQ(messages_.size(), 1u);
    held.Let();
    MakeReadOnly(SitesPath, false);
    EXPECT_EQ(store_.Read("General", "CheckInterval"), "30");
    EXPECT_TRUE(store_.Store(kGeneralSection, kMiniModeKey, "True", s_));
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
    SettingsStore store(AppFolder);
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
    store.Save(s_);
    dismisser.join();
    EXPECT_EQ(dialogEnabledMeanwhile, 0) << "-1: no message box was shown";
    EXPECT_STREQ(boxText, "Sites file could not be saved.");
    EXPECT_TRUE(IsWindowEnabled(dialog.Handle()));
}
