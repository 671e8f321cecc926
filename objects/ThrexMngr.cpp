#include "objects/ThrexMngr.h"

#include <atomic>

namespace {
std::atomic<ThrexMngr*> theThrexMngr{nullptr};
} // namespace

ThrexMngr* createThrexMngr() {
    auto* manager = new ThrexMngr;
    delete theThrexMngr.exchange(manager);
    return manager;
}

ThrexMngr* getThrexMngr() {
    return theThrexMngr.load();
}

void destroyThrexMngr() {
    delete theThrexMngr.exchange(nullptr);
}
