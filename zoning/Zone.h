// The element class of zone objects (type 10).
#pragma once

#include <string>

#include "objects/SanElement.h"

class Zone : public LogSanElement {
public:
    // Reads the zone's members from its database on the switch (the active
    // one from the transaction's copy while a zoning transaction is open),
    // rebuilds its "setMember" list with the identifiers of known objects
    // and of new member children, prunes stale children and hands out a
    // ZoneRecord. 0; -26 when the zone, its name or parent is missing or
    // the switch lists no members; -28 / -29 without its database or
    // zoning capabilities object; -17 without the fabric's tables; -21 when
    // the active database does not hold it or a reload removed it; -2; the
    // mapped code of a switch refusal.
    int BuildObject(const OID_t oid, void** record) override;
};

// The record's zone subtype of a zone name: 0 without "/"; else 5 when it
// holds "IP", 255 when it holds "VI", 8 otherwise.
int zoneSubTypeOfName(const std::string& name);
