#include "api/ApiState.h"

#include <atomic>

#include "api/FabricDiscoveryMgr.h"
#include "api/SessionFactory.h"

namespace {

std::atomic<bool> apiInitialized{false};
std::atomic<LegacySessionTable*> legacySessionTable{nullptr};
std::atomic<SessionTable*> sessionTable{nullptr};
std::atomic<FabricDiscoveryMgr*> discoveryMgr{nullptr};
std::atomic<SessionFactory*> sessionFactory{nullptr};

template <class T> void create(std::atomic<T*>& slot) {
    delete slot.exchange(new T);
}

template <class T> void destroy(std::atomic<T*>& slot) {
    delete slot.exchange(nullptr);
}

} // namespace

bool isAPIInitialized() {
    return apiInitialized;
}

void setAPIInitialized(bool initialized) {
    apiInitialized = initialized;
}

SessionTable* getSessionTable() {
    return sessionTable;
}

LegacySessionTable* getLegacySessionTable() {
    return legacySessionTable;
}

FabricDiscoveryMgr* getFabricDiscoveryMgr() {
    return discoveryMgr;
}

SessionFactory* getSessionFactory() {
    return sessionFactory;
}

void createSessionTables() {
    create(legacySessionTable);
    create(sessionTable);
}

void destroySessionTables() {
    destroy(sessionTable);
    destroy(legacySessionTable);
}

void createFabricDiscoveryMgr() {
    create(discoveryMgr);
}

void destroyFabricDiscoveryMgr() {
    destroy(discoveryMgr);
}

void createSessionFactory() {
    create(sessionFactory);
}

void destroySessionFactory() {
    destroy(sessionFactory);
}
