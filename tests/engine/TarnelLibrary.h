#pragma once
// The engine library bound by the program's own binding, and one exchange run through its
// exports the way the program polls.

#include "engine/Tarnel.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace tarnel::test {

class TarnelLibrary {
public:
    // Loaded once per process and kept: a worker must never outlive the code it runs.
    static TarnelLibrary& Get();

    bool Loaded() const { return pingCheck != nullptr; }
    const std::string& Error() const { return error_; }

    StartDllFunction startDll = nullptr;
    StopDllFunction stopDll = nullptr;
    PingStartFunction pingStart = nullptr;
    PingCheckFunction pingCheck = nullptr;

private:
    TarnelLibrary();
    std::string error_;
};

struct PingOutcome {
    int state = 1;              // last PingStart / PingCheck return value
    std::int32_t roundTripMs = -1;
    std::int32_t code = -1;
    std::chrono::milliseconds took{0};
};

// PingStart, then PingCheck every 2 ms until it stops reporting busy (or 60 s pass). The text
// PingCheck is given is a constant, as another program may pass: a write to it ends the test.
PingOutcome RunPing(const std::string& host, std::uint32_t payloadSize = 64, std::uint32_t timeoutMs = 2000);

// Open file descriptors or handles, and threads, of this process.
long OpenHandleCount();
long ThreadCount();

}  // namespace tarnel::test
