#include "zoning/FullZoneDB.h"

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "foundation/OidText.h"
#include "objects/ObjectTypes.h"
#include "objects/gorlib.h"
#include "zoning/FullZoningDbLoader.h"
#include "zoning/ZoningObjectRecords.h"
#include "zoning/ZoningStoredObjects.h"
#include "zoning/ZoningTrace.h"

int FullZoneDB::BuildObject(const OID_t oid, void** record) {
    const ZoningTrace trace("BuildObject(FullZoneDB)", "ZoningFunctions");
    const std::string oidText(oidFieldText(oid));
    trace.enter("FullZoneDBOid=" + oidText);
    StoredObject* database = findObjectByOid(oid);
    if (database == nullptr) {
        return -28;
    }
    if (const int status = LoadFullZoningDb(database, oidText); status != 0) {
        return status;
    }
    // Sized from the lists as they are copied, so no count can overrun.
    const std::vector<std::string> zoneSets = listValues(*database, "setZoneSet");
    const std::vector<std::string> aliases = listValues(*database, "setZoneAlias");
    const std::vector<std::string> zones = listValues(*database, "setZone");
    const std::size_t size = sizeof(FullZoneDBRecord) + oidListRoom(zoneSets.size()) +
                             oidListRoom(aliases.size()) + oidListRoom(zones.size());
    auto* out = static_cast<FullZoneDBRecord*>(falAllocObject(size));
    if (out == nullptr) {
        return -2;
    }
    out->ObjType = ObjectType::FullZoneDB;
    CopyName48(out->OID, oidText.c_str());
    char* tail = reinterpret_cast<char*>(out + 1);
    out->pcZoneSetOids = writeZoningOidList(tail, zoneSets);
    out->pcZoneAliasOids = writeZoningOidList(tail, aliases);
    out->pcZoneOids = writeZoningOidList(tail, zones);
    unsigned short clear = 0;
    database->getShortAttr("ClearFullZoneDb", clear);
    out->clearFullZoneDb = clear;
    *record = out;
    trace.exit();
    return 0;
}
