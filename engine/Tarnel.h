#pragma once
// The four exports of the ping engine library. Callers bind them by name at run time;
// these declarations give the exact signatures and the types for the bound pointers.

#include <cstdint>

#if defined(_WIN32)
#define TARNEL_CALL __stdcall
#else
#define TARNEL_CALL
#endif

extern "C" {
// 0 started, -1 already started or the worker could not be created.
int TARNEL_CALL StartDll();
// 0 stopped, -1 not started.
int TARNEL_CALL StopDll();
// 0 accepted, 1 busy (the request is dropped), -1 not started.
int TARNEL_CALL PingStart(const char* host, std::uint32_t payloadSize, std::uint32_t timeoutMs,
                          std::int32_t showMessages);
// 0 with the last result in the outputs, 1 busy (outputs untouched), -1 not started. The text
// (a caller's buffer, or null) is left unchanged.
int TARNEL_CALL PingCheck(char* text, std::int32_t* roundTripMs, std::int32_t* resultCode);
}

namespace tarnel {
using StartDllFunction = int(TARNEL_CALL*)();
using StopDllFunction = int(TARNEL_CALL*)();
using PingStartFunction = int(TARNEL_CALL*)(const char*, std::uint32_t, std::uint32_t, std::int32_t);
using PingCheckFunction = int(TARNEL_CALL*)(char*, std::int32_t*, std::int32_t*);
}  // namespace tarnel
