#include "objects/ZoningFabricHooks.h"

#include <atomic>

namespace {

ZoningFabricHooks& defaultHooks() {
    static ZoningFabricHooks hooks;
    return hooks;
}

std::atomic<ZoningFabricHooks*> installed{nullptr};

} // namespace

std::optional<std::string> ZoningFabricHooks::proxySwitchVersion(const std::string&) {
    return std::nullopt;
}

ZoningFabricHooks& zoningFabricHooks() {
    ZoningFabricHooks* hooks = installed.load();
    return hooks != nullptr ? *hooks : defaultHooks();
}

ZoningFabricHooks* installZoningFabricHooks(ZoningFabricHooks* hooks) {
    return installed.exchange(hooks);
}
