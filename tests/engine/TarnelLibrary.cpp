#include "TarnelLibrary.h"

#include <cstdint>
#include <thread>

#include "monitor/AppFolder.h"
#include "monitor/basTarnel.h"

#if defined(_WIN32)
#include <windows.h>
#include <tlhelp32.h>
#else
#include <dirent.h>
#endif

namespace tarnel::test {

#if !defined(_WIN32)
namespace {

long EntriesIn(const char* path)
{
    DIR* directory = ::opendir(path);
    if (directory == nullptr)
        return -1;
    long count = 0;
    while (const dirent* entry = ::readdir(directory))
        if (entry->d_name[0] != '.')
            ++count;
    ::closedir(directory);
    return count;
}

}  // namespace
#endif

TarnelLibrary& TarnelLibrary::Get()
{
    static TarnelLibrary library;
    return library;
}

// Bound the way the program binds it: by name, from the folder of the test program (the
// build's library folder natively).
TarnelLibrary::TarnelLibrary()
{
#if defined(_WIN32)
    const std::string folder = corvale::ProgramFolder();
#else
    const std::string folder = TARNEL_LIBRARY_DIR;
#endif
    corvale::EngineBindError error;
    const auto bound = corvale::LoadEngineLibrary(folder, &error);
    if (!bound) {
        error_ = "binding " + folder + corvale::kEngineLibraryName + " failed: " + std::to_string(error.code) + " " +
                 error.description;
        return;
    }
    const corvale::EngineEntryPoints& engine = *bound;
    startDll = engine.StartDll;
    stopDll = engine.StopDll;
    pingStart = engine.PingStart;
    pingCheck = engine.PingCheck;
}

PingOutcome RunPing(const std::string& host, std::uint32_t payloadSize, std::uint32_t timeoutMs)
{
    TarnelLibrary& library = TarnelLibrary::Get();
    PingOutcome outcome;
    const auto start = std::chrono::steady_clock::now();
    outcome.state = library.pingStart(host.c_str(), payloadSize, timeoutMs, 0);
    if (outcome.state != 0)
        return outcome;
    // 50 characters, as the program passes, in read-only memory.
    static const char* const kConstantText = "                                                  ";
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        outcome.state = library.pingCheck(const_cast<char*>(kConstantText), &outcome.roundTripMs, &outcome.code);
    } while (outcome.state == 1 && std::chrono::steady_clock::now() - start < std::chrono::seconds(60));
    outcome.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return outcome;
}

long OpenHandleCount()
{
#if defined(_WIN32)
    DWORD count = 0;
    if (::GetProcessHandleCount(::GetCurrentProcess(), &count) && count > 0)
        return static_cast<long>(count);
    // Wine reports no count. Its handle table gives out the lowest free slot, so the value of
    // a fresh handle rises with every handle (socket handles included) that is never closed.
    HANDLE probe = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (probe == nullptr)
        return -1;
    const long slot = static_cast<long>(reinterpret_cast<std::uintptr_t>(probe) / 4);
    ::CloseHandle(probe);
    return slot;
#else
    return EntriesIn("/proc/self/fd") - 1;  // less the listing's own descriptor
#endif
}

long ThreadCount()
{
#if defined(_WIN32)
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    long count = 0;
    const DWORD self = ::GetCurrentProcessId();
    for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == self)
            ++count;
    ::CloseHandle(snapshot);
    return count;
#else
    return EntriesIn("/proc/self/task");
#endif
}

}  // namespace tarnel::test
