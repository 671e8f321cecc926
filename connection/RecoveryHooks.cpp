#include "connection/RecoveryHooks.h"

#include <atomic>

namespace {

RecoveryHooks& defaultHooks() {
    static RecoveryHooks hooks;
    return hooks;
}

std::atomic<RecoveryHooks*> installed{nullptr};

} // namespace

std::optional<std::vector<std::string>> RecoveryHooks::fabricSwitches(const std::string&) {
    return std::nullopt;
}

int RecoveryHooks::recheckFabricAfterError(SessionContext*, const std::vector<std::string>&,
                                           int mappedCode) {
    return mappedCode;
}

RecoveryHooks& recoveryHooks() {
    RecoveryHooks* hooks = installed.load();
    return hooks != nullptr ? *hooks : defaultHooks();
}

RecoveryHooks* installRecoveryHooks(RecoveryHooks* hooks) {
    return installed.exchange(hooks);
}
