#include "fontconfigsetup.h"

#if TAVRELON_FONTCONFIG
#include <fontconfig/fontconfig.h>
#include <malloc.h>

#include <thread>

namespace {

std::thread &loader()
{
    static std::thread thread;
    return thread;
}

// FcInit() adds cache folders of its own when the configuration names none; that case is its.
bool namesCacheFolder(FcConfig *config)
{
    auto *folders = FcConfigGetCacheDirs(config);
    const bool any = folders != nullptr && FcStrListNext(folders) != nullptr;
    FcStrListDone(folders);
    return any;
}

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
    if (config == nullptr) {
        FcInit();
        return false;
    }
    const bool built = build(config);
    // Once current, the configuration holds a reference of its own.
    FcConfigDestroy(config);
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

#else

namespace FontconfigSetup {

bool load()
{
    return false;
}

void start()
{ }

void finish()
{ }

} // namespace FontconfigSetup

#endif
