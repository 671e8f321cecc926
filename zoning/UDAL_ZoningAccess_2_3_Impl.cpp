#include "zoning/UDAL_ZoningAccess_2_3_Impl.h"

#include <memory>
#include <new>
#include <optional>

#include "zoning/ZoningArguments.h"
#include "zoning/ZoningRpc.h"
#include "zoning/ZoningTrace.h"

namespace {

constexpr char kSource[] = "..\\zoning\\UDAL_ZoningAccess_2_3_Impl";
constexpr int kValidationFailedStatus = -10116;

// One transaction procedure: no argument, a status reply.
void transactionCall(ZoningStatusReply* (Fabric_Connection_Impl_RPC::*procedure)(),
                     Fabric_Connection_Impl_RPC& connection, const char* operation,
                     const char* method, bool longCall) {
    const ZoningTrace trace(method, kSource);
    trace.enter();
    std::optional<RaisedCallTimeout> raised;
    if (longCall) {
        raised.emplace(connection);
    }
    ZoningStatusReply* reply = (connection.*procedure)();
    if (raised) {
        raised->restore();
    }
    expectSuccess(reply, operation);
    trace.exit();
}

} // namespace

UDAL_ZoningAccess_2_3_Impl::UDAL_ZoningAccess_2_3_Impl(SessionContext* session)
    : UDAL_ZoningAccess_2_2_Impl(session) {}

UDAL_ZoningAccess_2_3_Impl::~UDAL_ZoningAccess_2_3_Impl() = default;

void UDAL_ZoningAccess_2_3_Impl::ZoneSetActivate(const char* zoneSetName) {
    constexpr char kOperation[] = "ZoneSetActivate";
    requireArgument(zoneSetName != nullptr, kOperation);
    const ZoningTrace trace("ZoneSetActivate Version 2.3", kSource);
    trace.enter(std::string("ZoningObjectName=") + zoneSetName);
    sendActivation(zoneSetName, kOperation);
    trace.exit();
}

void UDAL_ZoningAccess_2_3_Impl::TransactionStart() {
    transactionCall(&Fabric_Connection_Impl_RPC::rpcTransactionStart, rpc("TransactionStart"),
                    "TransactionStart", "TransactionStart Version 2.3", false);
}

void UDAL_ZoningAccess_2_3_Impl::TransactionRollback() {
    transactionCall(&Fabric_Connection_Impl_RPC::rpcTransactionRollback, rpc("TransactionRollback"),
                    "TransactionRollback", "TransactionRollback Version 2.3", false);
}

void UDAL_ZoningAccess_2_3_Impl::TransactionCommit() {
    transactionCall(&Fabric_Connection_Impl_RPC::rpcTransactionCommit, rpc("TransactionCommit"),
                    "TransactionCommit", "TransactionCommit Version 2.3", true);
}

ZoningTextRecord* UDAL_ZoningAccess_2_3_Impl::DefinedDbValidate() {
    constexpr char kOperation[] = "DefinedDbValidate";
    const ZoningTrace trace("DefinedDbValidate Version 2.3", kSource);
    trace.enter();
    ZoningReply reply(rpc(kOperation).rpcDefinedDbValidate());
    requireReply(reply, kOperation);
    const int status = reply->status;
    // Any refusal other than a failed validation is a failure of the
    // question, not a valid database.
    if (status != 0 && status != kValidationFailedStatus) {
        reply.release();
        throwOnSwitchStatus(status, kOperation);
    }
    ZoningTextRecord* record = nullptr;
    try {
        record = status == 0 ? new ZoningTextRecord(nullptr, nullptr, nullptr, nullptr)
                             : new ZoningTextRecord(reinterpret_cast<void*>(1), reply->text1,
                                                    reply->text2, reply->text3);
    } catch (const std::bad_alloc&) {
        record = nullptr;
    }
    reply.release();
    trace.exit();
    return record;
}
