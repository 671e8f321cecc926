#include "yarllite/SessionEstablished.h"

#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"

void markSessionEstablished(const std::string& fabricOid, bool established) {
    // Held across look-up and write, so that the object cannot go between.
    LockGuard guard(getObjectStoreMutex());
    if (StoredObject* fabric = findObjectUnlocked(fabricOid)) {
        fabric->setShortAttr("SessionEstablished", established ? 1 : 0);
    }
}
