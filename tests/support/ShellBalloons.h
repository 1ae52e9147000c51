#pragma once
// The info balloons that the shell's notification area shows now, read from outside: each
// is a balloon tooltip window of the shell's process, whose text lives in that process.

#include <windows.h>

#include <string>
#include <vector>

namespace corvale::test {

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
