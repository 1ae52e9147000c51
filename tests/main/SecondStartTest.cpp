// One program per folder under Wine: the claim on a folder, whatever its spelling, and
// Corvale.exe started a second time from its folder, seen from outside.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

#include "ShellBalloons.h"
#include "TempFolder.h"
#include "WinTestSupport.h"
#include "monitor/AppFolder.h"
#include "monitor/ProgramInstance.h"
#include "monitor/WideText.h"
#include "ui/main/frmMain.h"

namespace corvale {
namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(ProgramInstanceTest, OneClaimPerFolderInAnySpellingAndFoldersApartRunSideBySide) {
    test::TempFolder folder;
    const ProgramInstance first(folder.Folder());
    ASSERT_TRUE(first.First());

    std::string upper = folder.Folder();
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    EXPECT_FALSE(ProgramInstance(upper).First());
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(Widen(folder.Folder()).c_str(), shortName, MAX_PATH), 0u);
    EXPECT_NE(Narrow(shortName), folder.Folder()) << "the folder has a short name of its own";
    EXPECT_FALSE(ProgramInstance(Narrow(shortName)).First());

    test::TempFolder other;
    EXPECT_TRUE(ProgramInstance(other.Folder()).First());
}

// A process of Corvale.exe in `folder`, ended at the latest with this object.
class ProgramProcess {
public:
    explicit ProgramProcess(const std::string& folder) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        const std::wstring where = Widen(folder);
        const std::wstring program = where + L"Corvale.exe";
        if (CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, where.c_str(), &startup,
                           &info_))
            CloseHandle(info_.hThread);
    }
    ~ProgramProcess() {
        if (!info_.hProcess) return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
        CloseHandle(info_.hProcess);
    }
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool Started() const { return info_.hProcess != nullptr; }
    // The exit code once it ended within `ms`; STILL_ACTIVE otherwise.
    DWORD EndsWithin(DWORD ms) const {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0) GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }
    // Its main window, once it has one (waiting up to `ms`).
    HWND MainWindow(DWORD ms) const {
        for (DWORD waited = 0;; waited += 100) {
            for (HWND w = FindWindowA(frmMain::kClassName, nullptr); w;
                 w = FindWindowExA(nullptr, w, frmMain::kClassName, nullptr)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner == info_.dwProcessId) return w;
            }
            if (waited >= ms) return nullptr;
            test::PumpMessagesFor(100);
        }
    }

private:
    PROCESS_INFORMATION info_{};
};

// The icons in Wine's stand-in notification area, -1 where there is none (on Windows).
int WineTrayIcons() {
    HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
    if (!tray) return -1;
    int count = 0;
    EnumChildWindows(tray, [](HWND w, LPARAM n) -> BOOL {
        if (IsWindowVisible(w)) ++*reinterpret_cast<int*>(n);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&count));
    return count;
}

std::string RunValue() {
    char value[512] = {};
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, kRunKey, kProgramTitle, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return value;
}

TEST(SecondStartTest, BringsTheRunningWindowBackAndEndsWithoutTouchingItsSettings) {
    test::TempFolder folder;
    for (const char* file : {"Corvale.exe", "tarnel.dll"})
        std::filesystem::copy_file(ProgramFolder() + file, folder.File(file));
    test::WriteBytes(folder.File("sites.txt"), "");

    ProgramProcess first(folder.Folder());
    ASSERT_TRUE(first.Started());
    HWND window = first.MainWindow(20000);
    ASSERT_NE(window, nullptr);
    for (int i = 0; i < 50 && !test::ShellHoldsIcon(window, frmMain::kTrayIconId); ++i) test::PumpMessagesFor(100);
    ASSERT_TRUE(test::ShellHoldsIcon(window, frmMain::kTrayIconId));
    const int icons = WineTrayIcons();
    // Hidden, as the tool box's hide button leaves it.
    ShowWindow(window, SW_MINIMIZE);
    ShowWindow(window, SW_HIDE);
    // A start that read the settings would bring the start-with-Windows value in line with
    // them (monitor.ini has no "Startup": the value would go).
    RegSetKeyValueA(HKEY_CURRENT_USER, kRunKey, kProgramTitle, REG_SZ, "left alone", sizeof "left alone");

    ProgramProcess second(folder.Folder());
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.EndsWithin(10000), 0u) << "the second start ends at once";
    for (int i = 0; i < 50 && GetForegroundWindow() != window; ++i) test::PumpMessagesFor(100);
    EXPECT_EQ(GetForegroundWindow(), window);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(test::ShellHoldsIcon(window, frmMain::kTrayIconId));
    EXPECT_EQ(WineTrayIcons(), icons) << "one icon";
    EXPECT_EQ(RunValue(), "left alone");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, kProgramTitle);

    // A close request ends it, and its icon goes with it.
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.EndsWithin(20000), 0u);
    if (icons >= 0) {
        EXPECT_EQ(std::max(WineTrayIcons(), 0), icons - 1);
    }
}

}  // namespace
}  // namespace corvale
