// The element class of zone set objects (type 11).
#pragma once

#include "objects/SanElement.h"

class ZoneSet : public LogSanElement {
public:
    // Reads the zone set's members and the active zone set's name from the
    // switch, moves the active mark of the defined database to this zone
    // set when it is the active one, rebuilds its "setMember" list (names
    // the defined database does not know become undefined zoning objects)
    // and hands out a ZoneSetObjectRecord. 0; -27 when the zone set, its
    // parent or name is missing or the switch lists no members; -28 / -29
    // without its database or zoning capabilities object; -17 without the
    // fabric's tables; -21 when a reload removed it; -2; the mapped code of
    // a switch refusal.
    int BuildObject(const OID_t oid, void** record) override;
};
