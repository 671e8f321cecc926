#include "zoning/UDAL_ZoningAccess_2_6_Impl.h"

namespace {

constexpr char kSource[] = "..\\zoning\\UDAL_ZoningAccess_2_6_Impl";

} // namespace

UDAL_ZoningAccess_2_6_Impl::UDAL_ZoningAccess_2_6_Impl(SessionContext* session)
    : UDAL_ZoningAccess_2_3_Impl(session) {}

UDAL_ZoningAccess_2_6_Impl::~UDAL_ZoningAccess_2_6_Impl() = default;

int UDAL_ZoningAccess_2_6_Impl::ZoningObjectGetType(const char* name, ZoningFlag active) {
    return askObjectType(name, active, true, "ZoningObjectGetType Version 2.6", kSource);
}

int UDAL_ZoningAccess_2_6_Impl::reservedOperationA() {
    return 0;
}
