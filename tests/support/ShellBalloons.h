#pragma once
// The shell's notification area read from outside: whether it holds an icon, and the info
// balloons it shows now (each a balloon tooltip window of the shell's process, whose text
// lives in that process).

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

// Pumps this thread's messages while it watches for balloons for about `milliseconds`;
// every balloon seen (a window, with its text) is listed once, in the order they came.
std::vector<ShellBalloon> WatchShellBalloons(DWORD milliseconds);

}  // namespace corvale::test
