// Loading the engine library elsewhere (the native build and its tests).
#include <dlfcn.h>

#include "monitor/basTarnel.h"

namespace corvale {

const char* const kEngineLibraryName = "libtarnel.so";

std::optional<EngineEntryPoints> LoadEngineLibrary(const std::string& folder, EngineBindError* error) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/') path += '/';
    path += kEngineLibraryName;
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* text = dlerror();
        if (error) *error = {1, text ? text : "cannot load " + path};
        return std::nullopt;
    }
    const EngineEntryPoints entryPoints =
        LookUpEntryPoints([module](const char* name) { return dlsym(module, name); });
    if (!entryPoints.Complete()) {
        dlclose(module);
        if (error) *error = {2, "an entry point of " + path + " is missing"};
        return std::nullopt;
    }
    return entryPoints;
}

// The engine takes the program's own text here.
std::string EngineHostText(const std::string& siteText) { return siteText; }

}  // namespace corvale
