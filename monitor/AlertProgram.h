#pragma once
// "Run a program" (Windows): the user's program started with the arguments of one notice line.

#include <string>
#include <vector>

namespace corvale {

struct ProgramStart {
    bool started = false;
    std::string reason;  // why it could not be started ("program not found")
};

// Starts arguments[0] (AlertCommandArguments) with these arguments: no shell, no window, not
// waited for. A program named without a folder is looked for in the system's folders and the
// PATH, never in this program's own folder or the current one, where anyone may leave files; a
// relative path is taken from `folder` (UTF-8; this program's own, as the user's list is). A
// batch file gets its arguments as the command interpreter can take them (JoinBatchCommandLine).
ProgramStart StartAlertProgram(const std::vector<std::string>& arguments, const std::string& folder);

}  // namespace corvale
