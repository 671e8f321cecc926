#include "zoning/UDAL_ZoningAccess_4_1_Impl.h"

#include <new>
#include <string>
#include <vector>

#include "zoning/ZoningArguments.h"
#include "zoning/ZoningRpc.h"
#include "zoning/ZoningTrace.h"

namespace {

constexpr char kSource[] = "..\\zoning\\UDAL_ZoningAccess_4_1_Impl";
constexpr char kOperation[] = "DefinedDbClear";
// Statuses of a type listing that mean "no object of this type".
constexpr int kNotFoundStatus = -10100;
constexpr int kBadTypeStatus = -10104;

} // namespace

UDAL_ZoningAccess_4_1_Impl::UDAL_ZoningAccess_4_1_Impl(SessionContext* session)
    : UDAL_ZoningAccess_4_0_Impl(session) {}

UDAL_ZoningAccess_4_1_Impl::~UDAL_ZoningAccess_4_1_Impl() = default;

void UDAL_ZoningAccess_4_1_Impl::DefinedDbClear() try {
    const ZoningTrace trace("DefinedDbClear Version 4.1", kSource);
    trace.enter();
    // Zone sets first, aliases last, so that no deletion leaves a reference
    // to an object that is already gone.
    for (int type : {1, 2, 4, 5, 6, 7, 3}) {
        std::vector<std::string> names;
        {
            ZoningReply reply(rpc(kOperation).rpcZoningGetObjectNames(type));
            requireReply(reply, kOperation);
            if (reply->status == kNotFoundStatus || reply->status == kBadTypeStatus) {
                continue;
            }
            throwOnSwitchStatus(reply->status, kOperation);
            for (u_int i = 0; i < reply->names.names_len; ++i) {
                if (reply->names.names_val[i] != nullptr) {
                    names.emplace_back(reply->names.names_val[i]);
                }
            }
        }
        for (const auto& name : names) {
            const ZoningObjectArgs request{type, const_cast<char*>(name.c_str()),
                                           const_cast<char*>("")};
            expectSuccess(rpc(kOperation).rpcZoningObjectDelete(&request), kOperation);
        }
    }
    trace.exit();
} catch (const std::bad_alloc&) {
    throwNoMemory(kOperation);
}

int UDAL_ZoningAccess_4_1_Impl::reservedOperationB(std::int32_t, std::int32_t, std::int32_t) {
    return 0;
}

int UDAL_ZoningAccess_4_1_Impl::reservedOperationC(std::int32_t, std::int32_t) {
    return 0;
}
