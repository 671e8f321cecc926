#include "zoning/UDAL_ZoningAccess_4_0_Impl.h"

#include <new>

#include "zoning/ZoningArguments.h"
#include "zoning/ZoningRpc.h"
#include "zoning/ZoningTrace.h"

namespace {

constexpr char kSource[] = "..\\zoning\\UDAL_ZoningAccess_4_0_Impl";

} // namespace

UDAL_ZoningAccess_4_0_Impl::UDAL_ZoningAccess_4_0_Impl(SessionContext* session)
    : UDAL_ZoningAccess_2_6_Impl(session) {}

UDAL_ZoningAccess_4_0_Impl::~UDAL_ZoningAccess_4_0_Impl() = default;

ZoningObjectArgs2
UDAL_ZoningAccess_4_0_Impl::memberRequest(const char* name, int type,
                                          const std::vector<ZoningNameEntry*>& members,
                                          std::string& memberText, const char* operation) {
    requireEditableType(type, operation);
    requireNameFits(name, ZoningNameMax, operation);
    memberText = joinMembers(members, operation);
    // The wire record still has a bound, far above any real list.
    if (memberText.size() > RM_MEMBER_TEXT_MAX) {
        throw UDAL_ZoningException(ZONING_ERR_MEMBER_TEXT_LONG, operation);
    }
    return ZoningObjectArgs2{type, const_cast<char*>(name), memberText.data()};
}

void UDAL_ZoningAccess_4_0_Impl::ZoningObjectCreate(
    const char* name, int type, const std::vector<ZoningNameEntry*>* members) try {
    constexpr char kOperation[] = "ZoningObjectCreate";
    requireArgument(name != nullptr && members != nullptr, kOperation);
    const ZoningTrace trace("ZoningObjectCreate Version 4.0", kSource);
    trace.enter(nameAndTypeText(name, std::to_string(type)));
    std::string memberText;
    const ZoningObjectArgs2 request = memberRequest(name, type, *members, memberText, kOperation);
    expectSuccess(rpc(kOperation).rpcZoningObjectCreate_4_0(&request), kOperation);
    trace.exit();
} catch (const std::bad_alloc&) {
    throwNoMemory("ZoningObjectCreate");
}

void UDAL_ZoningAccess_4_0_Impl::ZoningObjectAddMembers(
    const char* name, int type, const std::vector<ZoningNameEntry*>* members) try {
    constexpr char kOperation[] = "ZoningObjectAddMembers";
    requireArgument(name != nullptr && members != nullptr, kOperation);
    const ZoningTrace trace("ZoningObjectAddMembers Version 4.0", kSource);
    trace.enter(nameAndTypeText(name, std::to_string(type)));
    std::string memberText;
    const ZoningObjectArgs2 request = memberRequest(name, type, *members, memberText, kOperation);
    expectSuccess(rpc(kOperation).rpcZoningObjectAddMembers_4_0(&request), kOperation);
    trace.exit();
} catch (const std::bad_alloc&) {
    throwNoMemory("ZoningObjectAddMembers");
}
