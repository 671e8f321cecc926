#include "objects/SessionForOid.h"

#include <cstring>

#include <orvane/status.h>

#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"

int GetSessionForOid(const char* oid, unsigned char wwn[8], SessionContext*& handle) {
    if (oid == nullptr || oid[0] == '\0' || wwn == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    LockGuard model(getObjectStoreMutex());
    StoredObject* object = findObjectByOid(oid);
    if (object == nullptr) {
        return FABAPI_ERR_OBJECT_NOT_FOUND;
    }
    unsigned short type = 0;
    if (!object->getShortAttr("ObjType", type) || type != ObjectType::Switch) {
        return -6;
    }
    void* context = nullptr;
    if (const int status = GetFabricHandleOfObject(object, context); status != 0) {
        return status;
    }
    const auto name = object->getWwnAttr("WWN");
    if (!name || context == nullptr) {
        return -6;
    }
    std::memcpy(wwn, name->bytes(), 8);
    handle = static_cast<SessionContext*>(context);
    return 0;
}
