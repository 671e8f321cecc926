// Zoning access for firmware 4.1 (version class 5). The
// switch no longer clears the defined database on request (procedure 19 is
// gone), so clearing deletes its objects one by one.
#pragma once

#include <cstdint>

#include "zoning/UDAL_ZoningAccess_4_0_Impl.h"

class UDAL_ZoningAccess_4_1_Impl : public UDAL_ZoningAccess_4_0_Impl {
public:
    explicit UDAL_ZoningAccess_4_1_Impl(SessionContext* session);
    ~UDAL_ZoningAccess_4_1_Impl() override;

    // Deletes every zone set, then every zone, then every alias (procedures
    // 15 and 13) in the caller's view of the defined database.
    void DefinedDbClear() override;

    virtual int reservedOperationB(std::int32_t first, std::int32_t second, std::int32_t third);
    virtual int reservedOperationC(std::int32_t first, std::int32_t second);
};
