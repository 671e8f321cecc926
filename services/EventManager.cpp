#include "services/EventManager.h"

#include <atomic>

namespace {
std::atomic<EventManager*> theEventManager{nullptr};
} // namespace

void EventManager::initEventMgr() {
    delete theEventManager.exchange(new EventManager);
}

void EventManager::dispose() {
    delete theEventManager.exchange(nullptr);
}

EventManager* EventManager::instance() {
    return theEventManager.load();
}

int EventManager::enableEventNotification(const std::string&, int flags) {
    return flags == 0 ? 0 : -3;
}

unsigned short EventManager::eventServerStarted(const std::string&) {
    return 0;
}
