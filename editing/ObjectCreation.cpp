#include "editing/ObjectCreation.h"

#include <cstring>
#include <string>

#include <orvane/objects.h>
#include <orvane/records.h>
#include <orvane/status.h>

#include "api/ExportFrame.h"
#include "api/ObjectStore.h"
#include "editing/ObjectDeletion.h"
#include "editing/ObjectEditTable.h"
#include "editing/ZoningTransaction.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/OidText.h"
#include "foundation/ShutdownLock.h"
#include "objects/Fabric.h"
#include "objects/ObjectTypes.h"
#include "objects/PlatformClasses.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

constexpr char kMethod[] = "CreateFabricObject";
constexpr char kSource[] = "create";

constexpr int kNoFabric = -12;
constexpr int kNoFabricData = -5;
constexpr int kNoDefinedDatabase = -28;
constexpr int kNoCapabilities = -29;

int createPlatform(StoredObject* fabric, SessionContext*, const void* record, char* createdOid) {
    return createPlatformObject(fabric, static_cast<const PlatformRecord*>(record), createdOid);
}

bool isZoningType(unsigned short type) {
    return type == ObjectType::Zone || type == ObjectType::ZoneConfig ||
           type == ObjectType::ZoneAlias || type == ObjectType::ZoneMember;
}

// The zoning creators run under the object-model lock, on the fabric's
// defined database, inside the open transaction (zone members also without
// one).
int createZoningObject(StoredObject& fabric, SessionContext* handle, unsigned short type,
                       const void* record, char* createdOid) {
    StoredObject* capabilities = findObjectUnlocked(firstRelation(fabric, "setZoningCapabilities"));
    if (capabilities == nullptr) {
        return kNoCapabilities;
    }
    if (type != ObjectType::ZoneMember) {
        if (!zoneTransactionOpen(*capabilities)) {
            return FABAPI_ERR_NO_ZONE_TRANSACTION;
        }
    }
    StoredObject* database = findObjectUnlocked(firstRelation(*capabilities, "setFullZoneDB"));
    if (database == nullptr) {
        return kNoDefinedDatabase;
    }
    const ObjectCreator creator = objectCreatorFor(type);
    if (creator == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const int status = creator(database, handle, record, createdOid);
    // The zone set creator marks the transaction itself; members leave it.
    if (status == 0 && (type == ObjectType::Zone || type == ObjectType::ZoneAlias)) {
        markZoneTransactionDirty(capabilities);
    }
    return status;
}

int createObject(const char* fabricOid, const void* record, char* createdOid) {
    unsigned short type = 0;
    std::memcpy(&type, record, sizeof type);
    LockGuard model(getObjectStoreMutex());
    StoredObject* fabric = findObjectByOid(fabricOid);
    if (fabric == nullptr || storedObjectType(*fabric) != ObjectType::Fabric) {
        return kNoFabric;
    }
    void* handle = nullptr;
    if (!fabric->getHandleAttr("HDL", handle) || !fabric->getWwnAttr("WWN")) {
        return kNoFabricData;
    }
    auto* session = static_cast<SessionContext*>(handle);
    if (isZoningType(type)) {
        return createZoningObject(*fabric, session, type, record, createdOid);
    }
    const ObjectCreator creator = type == ObjectType::Platform ||
                                          type == ObjectType::PhysicalSwitchGroup ||
                                          type == ObjectType::DefinedPolicy
                                      ? objectCreatorFor(type)
                                      : nullptr;
    if (creator == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    // These creators take the device-access lock around their switch
    // request only, without the object-model lock.
    model.unlock();
    return creator(fabric, session, record, createdOid);
}

} // namespace

int CreateFabricObject(const char* fabricOid, const void* objectRecord, char* createdOid) {
    try {
        if (const int refused = tracedInitRefusal(kMethod, kSource, __LINE__)) {
            return refused;
        }
        ShutdownLock gate(false);
        if (const int refused = tracedShutdownRefusal(kMethod, kSource, gate, __LINE__)) {
            return refused;
        }
        if (fabricOid == nullptr || objectRecord == nullptr || createdOid == nullptr) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        unsigned short type = 0;
        std::memcpy(&type, objectRecord, sizeof type);
        const std::string argument = "FabricOid=" + std::string(oidFieldText(fabricOid)) +
                                     " ObjectType=" + ObjectClassName(type);
        traceRecord(Vosk_Ext_API, "Entering Method", kMethod, argument.c_str(), kSource, __LINE__);
        const int status = createObject(fabricOid, objectRecord, createdOid);
        traceRecord(Vosk_Ext_API, "Exiting Method", kMethod, "", kSource, __LINE__);
        return status;
    } catch (...) {
        return FABAPI_ERR_OUT_OF_MEMORY;
    }
}

void installObjectCreationAndDeletion() {
    registerObjectCreator(ObjectType::Platform, createPlatform);
    installObjectDeletion();
}
