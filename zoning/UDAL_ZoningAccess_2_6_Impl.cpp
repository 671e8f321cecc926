#include "zoning/UDAL_ZoningAccess_2_6_Impl.h"

#include "zoning/ZoningArguments.h"
#include "zoning/ZoningRpc.h"
#include "zoning/ZoningTrace.h"

namespace {

constexpr char kSource[] = "..\\zoning\\UDAL_ZoningAccess_2_6_Impl";

} // namespace

UDAL_ZoningAccess_2_6_Impl::UDAL_ZoningAccess_2_6_Impl(SessionContext* session)
    : UDAL_ZoningAccess_2_3_Impl(session) {}

UDAL_ZoningAccess_2_6_Impl::~UDAL_ZoningAccess_2_6_Impl() = default;

int UDAL_ZoningAccess_2_6_Impl::ZoningObjectGetType(const char* name, ZoningFlag active) {
    constexpr char kOperation[] = "ZoningObjectGetType";
    requireArgument(name != nullptr, kOperation);
    requireFlag(active, kOperation);
    const ZoningTrace trace("ZoningObjectGetType Version 2.6", kSource);
    trace.enter(std::string("ZoningObjectName=") + name + " Active=" + flagText(active));
    requireNameFits(name, ZoningRequestNameMax, kOperation);
    Fabric_Connection_Impl_RPC& connection = rpc(kOperation);
    ZoningReply reply(active == 1 ? connection.rpcZoningObjectGetType_2_6(name)
                                  : connection.rpcZoningObjectGetType(name));
    requireReply(reply, kOperation);
    const int status = reply->status;
    const int type = reply->objectType;
    reply.release();
    throwOnSwitchStatus(status, kOperation);
    trace.exit("ZoningObjectType=" + std::to_string(type));
    return type;
}

int UDAL_ZoningAccess_2_6_Impl::reservedOperationA() {
    return 0;
}
