// The base of the versioned object classes: the behaviour attached to a
// stored object that fetches the object from the switches. The classes hold
// no state of their own; everything lives in the stored object. A stored
// object hands out its element as getElement<SanElement>(). Its
// destructor is virtual (through StoredElement), so a stored object deletes
// the element of any class through this base.
#pragma once

#include <orvane/oid.h>

#include "api/StoredElement.h"

class StoredObject;

class SanElement : public StoredElement {
public:
    // Fetches the object named by `oid` from the switches, refreshes its
    // stored object and hands a new object record to `record`. Returns 0 or
    // a negative status; -36 here, for classes that fetch nothing.
    virtual int BuildObject(const OID_t oid, void** record);
    // Creation of the child objects of a fabric's stored object. Each
    // returns 0 or a negative status; here each makes nothing and gives 0.
    virtual int CreateZCapsObject(StoredObject* fabric);
    virtual int CreateActiveZoneDB(StoredObject* object);
    virtual int CreateFullZoneDB(StoredObject* object);
    virtual int CreateSecurityObjects(StoredObject* object);
};

// The classes of physical objects: fabric, switch, port, node, device, port
// module, statistics and switch hardware.
class PhySanElement : public SanElement {};

// The classes of logical objects: platform, route, inter-switch link,
// zoning and policy objects.
class LogSanElement : public SanElement {};
