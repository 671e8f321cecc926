// The defined zoning database object (type 24) of a fabric.
#pragma once

#include "objects/SanElement.h"

class FullZoneDB : public LogSanElement {
public:
    // Brings the database's zone sets, aliases and zones in line with the
    // switch (LoadFullZoningDb: known names keep their objects, new ones
    // get objects, objects of names the switch no longer lists go with
    // their members) and hands out a FullZoneDBRecord listing them. 0; -28
    // when the object is not stored; else the load's code, after which the
    // store is as the load left it.
    int BuildObject(const OID_t oid, void** record) override;
};
