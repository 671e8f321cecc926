// Zoning access for firmware 2.6, 3.0.2, 3.1 and unrecognised versions
// (version classes 2 and 3): the type of an active object is asked of the
// active database.
#pragma once

#include "zoning/UDAL_ZoningAccess_2_3_Impl.h"

class UDAL_ZoningAccess_2_6_Impl : public UDAL_ZoningAccess_2_3_Impl {
public:
    explicit UDAL_ZoningAccess_2_6_Impl(SessionContext* session);
    ~UDAL_ZoningAccess_2_6_Impl() override;

    // Procedure 20 for the defined database, 29 for the active one.
    int ZoningObjectGetType(const char* name, ZoningFlag active) override;

    virtual int reservedOperationA();
};
