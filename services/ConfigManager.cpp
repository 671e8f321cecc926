#include "services/ConfigManager.h"

#include <atomic>

namespace {
std::atomic<ConfigManager*> theConfigManager{nullptr};
} // namespace

ConfigManager* ConfigManager::initConfigMgr() {
    auto* manager = new ConfigManager;
    delete theConfigManager.exchange(manager);
    return manager;
}

void ConfigManager::dispose() {
    delete theConfigManager.exchange(nullptr);
}

ConfigManager* ConfigManager::instance() {
    return theConfigManager.load();
}
