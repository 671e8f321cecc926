#include "zoning/ZoningRpc.h"

#include "connection/RpcCallLock.h"
#include "foundation/LockGuard.h"
#include "zoning/ZoningCodes.h"

namespace {

constexpr time_t kLongCallSeconds = 60;

} // namespace

void throwOnSwitchStatus(int status, const char* operation) {
    if (status != 0) {
        throw UDAL_ZoningException(mapSwitchStatus(status), operation);
    }
}

void expectSuccess(ZoningStatusReply* raw, const char* operation) {
    ZoningReply reply(raw);
    requireReply(reply, operation);
    const int status = reply->status;
    reply.release();
    throwOnSwitchStatus(status, operation);
}

RaisedCallTimeout::RaisedCallTimeout(Fabric_Connection_Impl_RPC& connection)
    : connection_(connection) {
    LockGuard guard(&rpcCallMutex());
    CLIENT* client = connection_.getHandle();
    if (client == nullptr ||
        !clnt_control(client, CLGET_TIMEOUT, reinterpret_cast<char*>(&saved_))) {
        return;
    }
    timeval raised{kLongCallSeconds, 0};
    raised_ = clnt_control(client, CLSET_TIMEOUT, reinterpret_cast<char*>(&raised));
}

void RaisedCallTimeout::restore() {
    if (!raised_) {
        return;
    }
    raised_ = false;
    LockGuard guard(&rpcCallMutex());
    if (CLIENT* client = connection_.getHandle(); client != nullptr) {
        clnt_control(client, CLSET_TIMEOUT, reinterpret_cast<char*>(&saved_));
    }
}
