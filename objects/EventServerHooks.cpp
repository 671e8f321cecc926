#include "objects/EventServerHooks.h"

#include <atomic>

namespace {

EventServerHooks& defaultHooks() {
    static EventServerHooks hooks;
    return hooks;
}

std::atomic<EventServerHooks*> installed{nullptr};

} // namespace

unsigned short EventServerHooks::eventServerStarted(const std::string&) {
    return 0;
}

EventServerHooks& eventServerHooks() {
    EventServerHooks* hooks = installed.load();
    return hooks != nullptr ? *hooks : defaultHooks();
}

EventServerHooks* installEventServerHooks(EventServerHooks* hooks) {
    return installed.exchange(hooks);
}
