// The active zoning database object (type 25) of a fabric.
#pragma once

#include "objects/SanElement.h"

class ActiveZoneDB : public LogSanElement {
public:
    // Refreshes the defined zone sets, reads the active zone set and its
    // zones (from the transaction's cached listing while a transaction is
    // open), marks which defined zone set is active, lists the active
    // zones in "setMember" (a new zone object for each name "AZDB" does not
    // know) and hands out an ActiveZoneDBRecord. 0; -28 when the object,
    // its parent or the defined database is missing or no zone set is
    // active (at every level alike); -29 without a stored zoning
    // capabilities object or its relations; -17 without "AZDB"; -2 without
    // an access object or memory; else the mapped code of a failed read.
    int BuildObject(const OID_t oid, void** record) override;
};
