#include "fontconfigsetup.h"

#include <fontconfig/fontconfig.h>
#include <malloc.h>

#include <thread>

namespace {

std::thread &loader()
{
    static std::thread thread;
    return thread;
}

// When the configuration names no cache folder, FcInit() adds folders of its own: that case is
// left to it.
bool namesCacheFolder(FcConfig *config)
{
    auto *folders = FcConfigGetCacheDirs(config);
    const bool any = folders != nullptr && FcStrListNext(folders) != nullptr;
    FcStrListDone(folders);
    return any;
}

// Nothing else uses fontconfig before finish(). Were it otherwise, fontconfig would have loaded
// a configuration of its own meanwhile, and this one would replace it: fontconfig keeps a
// replaced configuration alive for as long as a call uses it.
bool build(FcConfig *config)
{
    return FcConfigParseAndLoad(config, nullptr, FcTrue) != FcFalse && namesCacheFolder(config) &&
        FcConfigBuildFonts(config) != FcFalse && FcConfigSetCurrent(config) != FcFalse;
}

} // namespace

namespace FontconfigSetup {

bool load()
{
    auto *config = FcConfigCreate();
    const bool built = config != nullptr && build(config);
    if (config != nullptr) {
        // Once current, the configuration holds a reference of its own.
        FcConfigDestroy(config);
    }
    if (!built) {
        FcInit();
    }
    return built;
}

void start()
{
    // One malloc arena for all threads, so that the loader's allocations do not open a second
    // one (150 KiB more private memory).
    mallopt(M_ARENA_MAX, 1);
    loader() = std::thread([] { load(); });
}

void finish()
{
    if (loader().joinable()) {
        loader().join();
    }
}

} // namespace FontconfigSetup
