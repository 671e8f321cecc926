// The element class of zone alias objects (type 20).
#pragma once

#include "objects/SanElement.h"

class ZoneAlias : public LogSanElement {
public:
    // Reads the alias's members from the defined database on the switch,
    // rebuilds its "setMember" list with known member children or new ones,
    // prunes stale children and hands out a ZoneAliasRecord. 0; -24 when
    // the alias or its name is missing or the switch lists no members; -17
    // when its database, zoning capabilities object, fabric or member table
    // is missing; -2; the mapped code of a switch refusal.
    int BuildObject(const OID_t oid, void** record) override;
};
