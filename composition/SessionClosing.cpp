#include "composition/SessionClosing.h"

#include "api/ApiState.h"
#include "api/ObjectStore.h"
#include "connection/clilib_session.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/MemoryRegistry.h"
#include "objects/FabricObjectTree.h"
#include "services/EventManager.h"

void closeSessionOf(const std::string& sessionId, SessionContext* ctx) {
    if (EventManager* events = EventManager::instance()) {
        events->enableEventNotification(sessionId, 0); // its result is of no use here
    }
    RemoveFabricObjects(sessionId);
    if (SessionTable* sessions = getSessionTable()) {
        sessions->remove(sessionId.c_str());
    }
    if (LegacySessionTable* legacy = getLegacySessionTable()) {
        FabAPI_ClientSessionID* record = legacy->find(sessionId.c_str());
        legacy->remove(sessionId.c_str());
        if (record != nullptr) {
            FreeTracked(record);
        }
    }
    LockGuard device(getSwitchRequestMutex());
    destroySessionContext(ctx);
}

void closeSessionsLeftOpen() {
    SessionTable* sessions = getSessionTable();
    if (sessions == nullptr) {
        return;
    }
    LockGuard model(getObjectStoreMutex());
    for (const std::string& sessionId : sessions->identifiers()) {
        void* handle = nullptr;
        StoredObject* fabric = findObjectUnlocked(sessionId);
        if (fabric != nullptr) {
            fabric->getHandleAttr("HDL", handle);
        }
        closeSessionOf(sessionId, static_cast<SessionContext*>(handle));
    }
}
