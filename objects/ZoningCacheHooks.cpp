#include "objects/ZoningCacheHooks.h"

#include <atomic>

namespace {

ZoningCacheHooks& defaultHooks() {
    static ZoningCacheHooks hooks;
    return hooks;
}

std::atomic<ZoningCacheHooks*> installed{nullptr};

} // namespace

void ZoningCacheHooks::createFabricTables(const std::string&) {}

void ZoningCacheHooks::discardActiveZoningCache(const std::string&) {}

void ZoningCacheHooks::discardFullZoningCache(const std::string&) {}

void ZoningCacheHooks::releaseFabricTables(const std::string&) {}

void ZoningCacheHooks::queryWalkBegins() {}

void ZoningCacheHooks::queryWalkEnds() {}

ZoningCacheHooks& zoningCacheHooks() {
    ZoningCacheHooks* hooks = installed.load();
    return hooks != nullptr ? *hooks : defaultHooks();
}

ZoningCacheHooks* installZoningCacheHooks(ZoningCacheHooks* hooks) {
    return installed.exchange(hooks);
}
