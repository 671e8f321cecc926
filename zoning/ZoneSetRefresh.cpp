#include "zoning/ZoneSetRefresh.h"

#include "zoning/DefinedZoningDatabase.h"
#include "zoning/ZoningCodes.h"

int RefreshZoneSets(StoredObject* database, const std::string&) {
    DefinedZoningDatabase defined;
    if (const int status = defined.open(database); status != 0) {
        return status;
    }
    ZoningListing zoneSets;
    if (const int status = defined.readObjects(ZONING_TYPE_ZONE_SET, zoneSets); status != 0) {
        return status;
    }
    std::optional<std::string> activeName;
    if (const int status = defined.readActiveZoneSetName(activeName); status != 0) {
        return status;
    }
    defined.relistZoneSets(zoneSets, activeName);
    defined.removeUnlisted(kZoneSetTypes, false);
    defined.rebuildNames();
    return 0;
}
