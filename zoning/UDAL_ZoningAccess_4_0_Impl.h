// Zoning access for firmware 4.0 (version class 4): member lists are sent
// without the 256-character limit of the earlier levels.
#pragma once

#include "zoning/UDAL_ZoningAccess_2_6_Impl.h"

class UDAL_ZoningAccess_4_0_Impl : public UDAL_ZoningAccess_2_6_Impl {
public:
    explicit UDAL_ZoningAccess_4_0_Impl(SessionContext* session);
    ~UDAL_ZoningAccess_4_0_Impl() override;

    // Procedure 30.
    void ZoningObjectCreate(const char* name, int type,
                            const std::vector<ZoningNameEntry*>* members) override;
    // Procedure 31; a null member list is refused with 7, as create does.
    void ZoningObjectAddMembers(const char* name, int type,
                                const std::vector<ZoningNameEntry*>* members) override;
};
