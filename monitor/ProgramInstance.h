#pragma once
// One running program per program folder and user session: each folder has its own
// settings and site list, so two programs on one folder would overwrite each other's.
// The first start claims the folder; a later start from the same folder asks the running
// program's main window to come forward and ends, before it reads or writes any file.

#include <windows.h>

#include <string_view>

#include "monitor/Handles.h"

namespace corvale {

class ProgramInstance {
public:
    // Claims `folder`, in any spelling Windows takes for it (any case, short 8.3 names). A
    // claim the system cannot make at all leaves this start the first: the program runs
    // rather than not at all.
    explicit ProgramInstance(std::string_view folder);
    ~ProgramInstance();
    ProgramInstance(const ProgramInstance&) = delete;
    ProgramInstance& operator=(const ProgramInstance&) = delete;

    // False when a program from this folder runs already.
    bool First() const { return first_; }

    // For a later start: posts `message` to the running program's top-level window of
    // class `windowClass`, and lets it come to the foreground. A program that is still
    // starting gets up to `waitMs` to make its window. False when no window was found.
    bool BringRunningForward(const char* windowClass, UINT message, DWORD waitMs) const;

private:
    KernelHandle mapping_;
    volatile LONG* processId_ = nullptr;  // the first start's, in the shared view
    bool first_ = true;
};

}  // namespace corvale
