// The library's only exports, over one process-wide engine.

#include "engine/Tarnel.h"

#include "engine/EchoNetwork.h"
#include "engine/PingEngine.h"
#include "engine/SiteCheck.h"

#if defined(_WIN32)
#include <windows.h>
#define TARNEL_EXPORT
#else
#define TARNEL_EXPORT __attribute__((visibility("default")))
#endif

namespace {

// Created on first use and never destroyed: a destructor run at unload would have to wait for
// a worker the caller forgot to stop, under the loader's lock. A program may also end its
// process (ExitProcess) while the worker is inside a check, without StopDll: the system ends the
// worker, and no thread object of ours is left to be torn down at detach.
tarnel::PingEngine& Engine()
{
    static tarnel::PingEngine* engine = new tarnel::PingEngine(
        [](const tarnel::EchoRequest& request) { return tarnel::RunSiteCheck(tarnel::SystemNetwork(), request); });
    return *engine;
}

}  // namespace

extern "C" {

TARNEL_EXPORT int TARNEL_CALL StartDll()
{
    return Engine().Start();
}

TARNEL_EXPORT int TARNEL_CALL StopDll()
{
    return Engine().Stop();
}

TARNEL_EXPORT int TARNEL_CALL PingStart(const char* host, std::uint32_t payloadSize, std::uint32_t timeoutMs,
                                        std::int32_t showMessages)
{
    return Engine().Ping(host, payloadSize, timeoutMs, showMessages);
}

// The text is part of the binary interface only: it is never written (a caller may pass a constant).
TARNEL_EXPORT int TARNEL_CALL PingCheck(char* /*text*/, std::int32_t* roundTripMs, std::int32_t* resultCode)
{
    return Engine().Check(roundTripMs, resultCode);
}

}  // extern "C"

#if defined(_WIN32)
// Loading and unloading do nothing by themselves.
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
#endif
