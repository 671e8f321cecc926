#include "zoning/ZoningQueryWalk.h"

#include <cstring>
#include <string>
#include <vector>

#include <orvane/records.h>

#include "objects/ObjectQueries.h"
#include "objects/ObjectTypes.h"

namespace {

void addOid(std::vector<std::string>& oids, const OID_t oid) {
    if (oid[0] != '\0') {
        oids.emplace_back(oid, strnlen(oid, sizeof(OID_t)));
    }
}

std::vector<std::string> capabilitiesChildren(const void* record) {
    const auto* capabilities = static_cast<const ZoningCapabilitiesRecord*>(record);
    std::vector<std::string> oids;
    addOid(oids, capabilities->FullZoneDBOID);
    // Without an active zone set the active database cannot be read.
    if (capabilities->ZoningEnabled == 1) {
        addOid(oids, capabilities->ActiveZoneDBOID);
    }
    return oids;
}

} // namespace

void installZoningQueryWalk() {
    registerDescentStep({ObjectType::ZoningCapabilities, capabilitiesChildren});
}
