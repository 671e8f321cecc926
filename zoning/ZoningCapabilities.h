// The zoning capabilities object of a fabric (type 21), root of the
// fabric's zoning tree: its classes of the three fabric generations, the
// creator that the fabric classes call at every build of a fabric, and the
// creation of the two zoning databases below it. The stored object keeps
// the fabric-wide zoning state (transaction flags, validation result,
// member typing, refresh); only "ZoningEnabled" and "DefaultZoningBehavior"
// come from the switch.
#pragma once

#include "objects/SanElement.h"

class ZCaps_2_2 : public LogSanElement {
public:
    // Makes sure both databases exist, probes the switch for an active
    // zone set and hands out a ZoningCapabilitiesRecord. 0; -29 when the
    // object is not stored; the fabric handle walk's code; -2 without a
    // record or access object; -56 when the switch does not answer; the
    // default zoning check's code.
    int BuildObject(const OID_t oid, void** record) override;
    // The defined (type 24) and the active (type 25) database below the
    // capabilities object: made once, linked both ways, their "Clear..."
    // and "Deactivate..." flags set back to 0. Always 0.
    int CreateFullZoneDB(StoredObject* capabilities) override;
    int CreateActiveZoneDB(StoredObject* capabilities) override;

protected:
    virtual const char* buildMethod() const {
        return "BuildObject(ZoningCapabilities) Version 2.2";
    }
    virtual int versionMark() const { return 0; }
};

class ZCaps_2_3 : public ZCaps_2_2 {
protected:
    const char* buildMethod() const override {
        return "BuildObject(ZoningCapabilities) Version 2.3";
    }
};

class ZCaps_2_0 : public ZCaps_2_3 {
protected:
    const char* buildMethod() const override {
        return "BuildObject(ZoningCapabilities) Version 2.0";
    }
    int versionMark() const override { return 3; }
};

// The capabilities creator of a fabric of `fabricLevel` (2200, 2300,
// 2600): once per fabric it makes the capabilities object from type 21 and
// the fabric's world wide name, writes its defaults, probes the switch,
// links it to the fabric and makes both databases; later calls return 0.
// -12 without "HDL" (or "WWN"); -2 without an access object; -56 when the
// switch does not answer; the default zoning check's code.
int CreateZCapsObject(StoredObject* fabric, int fabricLevel);

// Installs the creator and the query walk into the zoning tree.
void installZoningObjects();
