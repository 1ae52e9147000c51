#pragma once
// The shell's notification area read from outside: whether it holds an icon, the info
// balloons it shows now and the icons' tips (each a tooltip window of the shell's process,
// whose text lives in that process).

#include <windows.h>

#include <string>
#include <vector>

namespace corvale::test {

// Whether the shell holds icon `id` of `owner`: a change of nothing on it succeeds only then.
bool ShellHoldsIcon(HWND owner, UINT id);

struct ShellBalloon {
    HWND window = nullptr;
    std::string text;  // in the ANSI code page
};

// The visible balloons of other processes than this one.
std::vector<ShellBalloon> ShellBalloons();
// The tips the shell holds for its icons (tooltips of other processes that are not balloons,
// shown or not).
std::vector<ShellBalloon> ShellIconTips();

// Pumps this thread's messages while it watches for balloons for about `milliseconds`;
// every balloon seen (a window, with its text) is listed once, in the order they came.
std::vector<ShellBalloon> WatchShellBalloons(DWORD milliseconds);

}  // namespace corvale::test
