#include "zoning/UDAL_ZoningAccess_4_0_Impl.h"

namespace {

constexpr char kSource[] = "..\\zoning\\UDAL_ZoningAccess_4_0_Impl";

} // namespace

UDAL_ZoningAccess_4_0_Impl::UDAL_ZoningAccess_4_0_Impl(SessionContext* session)
    : UDAL_ZoningAccess_2_6_Impl(session) {}

UDAL_ZoningAccess_4_0_Impl::~UDAL_ZoningAccess_4_0_Impl() = default;

// The member list has no limit of its own at this level; the wire record's
// bound lies far above any real list.
void UDAL_ZoningAccess_4_0_Impl::ZoningObjectCreate(const char* name, int type,
                                                    const std::vector<ZoningNameEntry*>* members) {
    sendMemberList(&Fabric_Connection_Impl_RPC::rpcZoningObjectCreate_4_0, RM_MEMBER_TEXT_MAX, name,
                   type, members, "ZoningObjectCreate", "ZoningObjectCreate Version 4.0", kSource);
}

void UDAL_ZoningAccess_4_0_Impl::ZoningObjectAddMembers(
    const char* name, int type, const std::vector<ZoningNameEntry*>* members) {
    sendMemberList(&Fabric_Connection_Impl_RPC::rpcZoningObjectAddMembers_4_0, RM_MEMBER_TEXT_MAX,
                   name, type, members, "ZoningObjectAddMembers",
                   "ZoningObjectAddMembers Version 4.0", kSource);
}
