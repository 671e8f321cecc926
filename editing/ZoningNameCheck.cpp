#include "editing/ZoningNameCheck.h"

#include <cstring>
#include <string>

#include <orvane/objects.h>
#include <orvane/status.h>

#include "api/ExportFrame.h"
#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/OidText.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"
#include "zoning/FullZoningDbLoader.h"
#include "zoning/ZoningCache.h"
#include "zoning/ZoningStoredObjects.h"
#include "zoning/ZoningTrace.h"

namespace {

constexpr char kSource[] = "zoningObjects";
constexpr int kBadArgument = -3;
constexpr int kNotFound = -17;
constexpr int kNoCapabilities = -29;

int lookUp(const char* fullZoneDbOid, const std::string& name, char* oid) {
    StoredObject* database = findObjectByOid(fullZoneDbOid);
    if (database == nullptr) {
        return kNotFound;
    }
    if (storedObjectType(*database) != ObjectType::FullZoneDB) {
        return kBadArgument;
    }
    void* handle = nullptr;
    if (const int status = GetFabricHandleOfObject(database, handle); status != 0) {
        return status;
    }
    StoredObject* capabilities = parentObject(*database);
    if (capabilities == nullptr) {
        return kNoCapabilities;
    }
    const std::string fabricKey = firstRelation(*capabilities, "setParent");
    if (fabricKey.empty() ||
        FindZoningCacheTable<ZoningNameTable>(fabricKey, zoning_table::FullNames) == nullptr) {
        return kNotFound;
    }
    oid[0] = '\0';
    unsigned short refresh = 0;
    capabilities->getShortAttr("ZoningRefresh", refresh);
    if (refresh == 1) {
        LockGuard device(getSwitchRequestMutex());
        if (const int status = LoadFullZoningDb(database, std::string(oidFieldText(fullZoneDbOid)));
            status != 0) {
            return status;
        }
    }
    // The reload rebuilds the table: look it up again.
    const auto* names = FindZoningCacheTable<ZoningNameTable>(fabricKey, zoning_table::FullNames);
    if (names == nullptr) {
        return kNotFound;
    }
    const auto found = names->find(name);
    if (found == names->end()) {
        return 0;
    }
    CopyName48(oid, found->second.c_str());
    return oid[0] != '\0' ? 1 : 0;
}

} // namespace

int Int_ZoningObjectNameExists(const char* fullZoneDbOid, const char* zoningObjectName, char* oid) {
    if (fullZoneDbOid == nullptr || zoningObjectName == nullptr || oid == nullptr) {
        return kBadArgument;
    }
    const ZoningTrace trace("ZoningObjectNameExists", kSource);
    trace.enter("FullZoneDBOid=" + std::string(oidFieldText(fullZoneDbOid)) +
                " ZoningObjectName=" + zoningObjectName);
    int answer = 0;
    {
        LockGuard model(getObjectStoreMutex());
        answer = lookUp(fullZoneDbOid, zoningObjectName, oid);
    }
    if (answer < 0) {
        return answer;
    }
    trace.exit();
    return answer;
}

int ZoningObjectNameExists(const char* fullZoneDbOid, const char* zoningObjectName, char* oid) {
    return runExport(
        "ZoningObjectNameExists",
        [&] {
            return gatedCall(InitCheck::Required, [&] {
                return Int_ZoningObjectNameExists(fullZoneDbOid, zoningObjectName, oid);
            });
        },
        kSource);
}
