// The versioned classes of the fabric object (type 9), one per fabric
// version level: Fabric_2_2 (2200), Fabric_2_3 (2300), Fabric_2_0 (2600).
// Their fetch refreshes the fabric's switches, hubs, platforms and links in
// the object store and hands out a FabricRecord (orvane/records.h).
#pragma once

#include "objects/Fabric.h"

class Fabric_2_2 : public Fabric {
public:
    // Fetches the fabric: 0 with the record; -5 the fabric is not stored;
    // -12 it has no "WWN" or "HDL"; -4 the element list came without a
    // list; -28 it has no zoning capabilities object; -2 no memory; or the
    // translated failure of the element list request.
    int BuildObject(const OID_t oid, void** record) override;
    // Creates or refreshes the fabric's zoning capabilities object, then
    // lists the fabric's databases (listZoningDatabases).
    int CreateZCapsObject(StoredObject* fabric) override;

protected:
    virtual int level() const { return FABRIC_VERSION_2200; }
};

class Fabric_2_3 : public Fabric_2_2 {
protected:
    int level() const override { return FABRIC_VERSION_2300; }
};

class Fabric_2_0 : public Fabric_2_2 {
public:
    // The security capabilities object of the fabric and, in secure mode,
    // its active and defined policy sets. 0, or -4 without "HDL".
    int CreateSecurityObjects(StoredObject* fabric) override;

protected:
    int level() const override { return FABRIC_VERSION_2600; }
};

// Names the fabric's active and defined zoning databases in its string
// lists "setActiveZoneDB" and "setFullZoneDB" (one identifier each, from its
// zoning capabilities object; empty lists without one), so that the fabric's
// XML element carries "<ActiveZoneDB OID=...>" and "<FullZoneDB OID=...>".
void listZoningDatabases(StoredObject* fabric);
