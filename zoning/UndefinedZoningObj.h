// The element class of undefined zoning objects (type -5): zone members of
// no recognised kind.
#pragma once

#include "objects/SanElement.h"

class UndefinedZoningObj : public LogSanElement {
public:
    // Hands out an UndefinedZoningObjectRecord whose name text lies in the
    // same block. 0; -78 when the object or its "UndefinedObjName" is
    // missing; -2 without memory.
    int BuildObject(const OID_t oid, void** record) override;
};
