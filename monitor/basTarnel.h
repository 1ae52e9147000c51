#pragma once
// The program's binding of the ping engine library: the library is loaded by name from
// one given folder (never from the current folder or a search path, so a planted copy
// elsewhere is never run) on the first start, and its four entry points are called
// through the wrappers below. Tests put a scripted engine in its place.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/Tarnel.h"

namespace corvale {

// The library's file name on this platform.
extern const char* const kEngineLibraryName;

struct EngineEntryPoints {
    tarnel::StartDllFunction StartDll = nullptr;
    tarnel::StopDllFunction StopDll = nullptr;
    tarnel::PingStartFunction PingStart = nullptr;
    tarnel::PingCheckFunction PingCheck = nullptr;
    bool Complete() const { return StartDll && StopDll && PingStart && PingCheck; }
};

// Why the library could not be bound: the system's error number and its description.
struct EngineBindError {
    uint32_t code = 0;
    std::string description;
};

// The four entry points looked up by name through `lookup` (GetProcAddress or dlsym).
template <typename Lookup>
EngineEntryPoints LookUpEntryPoints(Lookup lookup) {
    EngineEntryPoints e;
    e.StartDll = reinterpret_cast<tarnel::StartDllFunction>(lookup("StartDll"));
    e.StopDll = reinterpret_cast<tarnel::StopDllFunction>(lookup("StopDll"));
    e.PingStart = reinterpret_cast<tarnel::PingStartFunction>(lookup("PingStart"));
    e.PingCheck = reinterpret_cast<tarnel::PingCheckFunction>(lookup("PingCheck"));
    return e;
}

// Loads `folder` + kEngineLibraryName and looks up its entry points; nothing when that
// failed (`error` says why). The library stays loaded for the life of the process, since its
// worker must never outlive its code.
std::optional<EngineEntryPoints> LoadEngineLibrary(const std::string& folder, EngineBindError* error = nullptr);

// The program's binding of the engine: the entry points in use and the wrappers the check
// cycle calls. Tests put a scripted engine in place of the library.
class EngineBinding {
public:
    // Loads the library from `folder` unless entry points are bound already; true when they are.
    bool Bind(const std::string& folder, EngineBindError* error = nullptr);
    void Use(const EngineEntryPoints& entryPoints) { entryPoints_ = entryPoints; }
    bool Bound() const { return entryPoints_.Complete(); }

    // StartDll and StopDll of the bound engine; -1 (not started) when nothing is bound.
    int EngineStartDll();
    int EngineStopDll();
    // PingStart with the site's address, 64 payload bytes, the timeout as a 16-bit number of
    // milliseconds and no message boxes; -1 when nothing is bound.
    int EnginePingStart(const std::string& siteText, int32_t timeoutMs);
    // PingCheck into a text of 50 spaces; `text` becomes what came back before its NUL with
    // the surrounding spaces removed (the engine leaves it as it was given). -1 when nothing
    // is bound.
    int EnginePingCheck(std::string& text, int32_t& roundTripMs, int32_t& resultCode);

private:
    EngineEntryPoints entryPoints_;
};

// A site's text as the engine takes it: in the system's ANSI code page on Windows, with the
// path and query of a web line percent-encoded as UTF-8 first (servers read them so). A
// character the code page lacks is never swapped for a look-alike, which would check
// another site: such a line goes as an empty text, and the site shows as not responding.
std::string EngineHostText(const std::string& siteText);
// The line with every byte beyond ASCII in the path and query of a web line ("://" and a
// "/", "?" or "#" after the host) percent-encoded; any other line as it is.
std::string WebPathInAscii(std::string_view siteText);

// The address a site is checked at, as the program knows it without asking the network:
// the host of a line with a scheme, the line itself otherwise.
std::string SiteAddressText(std::string_view siteText);

}  // namespace corvale
