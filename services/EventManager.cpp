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
