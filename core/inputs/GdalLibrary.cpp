#include "core/inputs/GdalLibrary.h"

#if KV_HAVE_GDAL
#include <dlfcn.h>

#include <mutex>

namespace kv {

namespace {

struct Loaded {
    GdalLibrary library;
    bool ok = false;
    std::string reason;
};

Loaded Load()
{
    Loaded loaded;
    void* handle = dlopen(KV_GDAL_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        loaded.reason = why ? why : "the GDAL library could not be loaded";
        return loaded;
    }
    // The library stays loaded for the rest of the run.
#define KV_GDAL_FIND(name)                                                                     \
    loaded.library.name = reinterpret_cast<decltype(loaded.library.name)>(dlsym(handle, #name)); \
    if (!loaded.library.name) {                                                                \
        loaded.reason = std::string("the GDAL library lacks ") + #name;                        \
        return loaded;                                                                         \
    }
    KV_GDAL_FUNCTIONS(KV_GDAL_FIND)
#undef KV_GDAL_FIND
    loaded.library.GDALAllRegister();
    loaded.ok = true;
    return loaded;
}

}  // namespace

const GdalLibrary* LoadedGdal(std::string* reason)
{
    static std::once_flag once;
    static Loaded loaded;
    std::call_once(once, [] { loaded = Load(); });
    if (!loaded.ok && reason) *reason = loaded.reason;
    return loaded.ok ? &loaded.library : nullptr;
}

}  // namespace kv
#endif
