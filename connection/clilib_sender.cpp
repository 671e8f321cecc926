#include <cstring>
#include <string>

#include "connection/Fabric_Connection_Impl_RPC.h"
#include "connection/RecoveryHooks.h"
#include "connection/clilib.h"
#include "foundation/APIException.h"
#include "foundation/InternalStatus.h"
#include "foundation/OidText.h"
#include "foundation/StatusTranslation.h"
#include "foundation/WWNAddress.h"

namespace {

constexpr unsigned short kFabricObjectType = 9;

// Borrows the session's connection for one call of `wrapper` and gives it
// back at once. Null when the connection is missing or the call got no
// reply; `status` says which.
template <class Reply, class Call>
Reply* callOverSession(SessionContext* ctx, Call wrapper, int& status) {
    Fabric_Connection_Impl_RPC* connection = nullptr;
    try {
        connection = getSessionRPCConnection(ctx);
    } catch (const ConnectionException&) {
        status = REQ_ERR_NO_CONNECTION;
        return nullptr;
    }
    Reply* reply = wrapper(*connection);
    returnSessionRPCConnection(connection, ctx);
    status = reply == nullptr ? REQ_ERR_RPC_NO_REPLY : 0;
    return reply;
}

// The common tail of the three senders: switch status and arm check.
template <class Reply>
int finishSend(SessionContext* ctx, Reply* reply, int status, int askedArm, int repliedArm,
               Reply** out, void (*release)(Reply*)) {
    if (reply == nullptr) {
        return status;
    }
    if (reply->status != 0) {
        const int switchStatus = reply->status;
        release(reply);
        return handleSwitchStatus(ctx, switchStatus);
    }
    if (repliedArm != askedArm) {
        release(reply); // an arm we did not ask for cannot be read safely
        return REQ_ERR_RPC_NO_REPLY;
    }
    *out = reply;
    return 0;
}

bool isRecheckedCode(int code) {
    return code == -86 || code == -56 || code == -21 || code == -14;
}

} // namespace

void freeMSReply(MSReply* reply) {
    Fabric_Connection_Impl_RPC::freeReply(xdr_MSReply, reply);
}

void freeNSReply(NSReply* reply) {
    Fabric_Connection_Impl_RPC::freeReply(xdr_NSReply, reply);
}

void freeMPSReply(MPSReply* reply) {
    Fabric_Connection_Impl_RPC::freeReply(xdr_MPSReply, reply);
}

int sendMSSvrRequest(SessionContext* ctx, const MSRequestArgs* args, MSReply** reply) {
    if (ctx == nullptr || args == nullptr || reply == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *reply = nullptr;
    int status = 0;
    MSReply* answer = callOverSession<MSReply>(
        ctx, [&](Fabric_Connection_Impl_RPC& c) { return c.rpcMSSvrRequest(args); }, status);
    return finishSend(ctx, answer, status, args->command,
                      answer != nullptr ? answer->body.command : 0, reply, freeMSReply);
}

int sendNSSvrRequest(SessionContext* ctx, const NSRequestArgs* args, NSReply** reply) {
    if (ctx == nullptr || args == nullptr || reply == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *reply = nullptr;
    int status = 0;
    NSReply* answer = callOverSession<NSReply>(
        ctx, [&](Fabric_Connection_Impl_RPC& c) { return c.rpcNSSvrRequest(args); }, status);
    return finishSend(ctx, answer, status, args->queryCode,
                      answer != nullptr ? answer->body.queryCode : 0, reply, freeNSReply);
}

int sendMPSRequest(SessionContext* ctx, const MPSRequestArgs* args, MPSReply** reply) {
    if (ctx == nullptr || args == nullptr || reply == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *reply = nullptr;
    int status = 0;
    MPSReply* answer = callOverSession<MPSReply>(
        ctx, [&](Fabric_Connection_Impl_RPC& c) { return c.rpcMPSRequest(args); }, status);
    return finishSend(ctx, answer, status, args->requestType,
                      answer != nullptr ? answer->body.requestType : 0, reply, freeMPSReply);
}

int handleSwitchStatus(SessionContext* ctx, int status) {
    const int mapped = MapApiError(status);
    if (ctx == nullptr || !isRecheckedCode(mapped)) {
        return status;
    }
    std::string fabricOid;
    formatOidString(kFabricObjectType, WWNAddress(ctx->fabricWWN), fabricOid);
    const auto switches = recoveryHooks().fabricSwitches(fabricOid);
    if (!switches) {
        return status;
    }
    return recoveryHooks().recheckFabricAfterError(ctx, *switches, mapped);
}

int getSwitchFirmwareVersion(SessionContext* ctx, const unsigned char switchName[8],
                             char** version) {
    if (ctx == nullptr || switchName == nullptr || version == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *version = nullptr;
    int status = 0;
    FirmwareVersionReply* reply = callOverSession<FirmwareVersionReply>(
        ctx, [&](Fabric_Connection_Impl_RPC& c) { return c.rpcGetFirmwareVersion(switchName); },
        status);
    if (reply == nullptr) {
        return status;
    }
    if (reply->status != 0) {
        Fabric_Connection_Impl_RPC::freeReply(xdr_FirmwareVersionReply, reply);
        return REQ_ERR_NO_CONNECTION;
    }
    // One byte more than the field, so the text stays NUL-terminated.
    auto* text = static_cast<char*>(allocApiBytes(sizeof(reply->versionText) + 1));
    if (text != nullptr) {
        std::memcpy(text, reply->versionText, sizeof(reply->versionText));
    }
    Fabric_Connection_Impl_RPC::freeReply(xdr_FirmwareVersionReply, reply);
    if (text == nullptr) {
        return REQ_ERR_NO_MEMORY;
    }
    *version = text;
    return 0;
}
