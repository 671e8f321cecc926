#include "connection/clilib_session.h"

#include <cstring>

#include "connection/Fabric_Connection_Impl_RPC.h"
#include "connection/ProtocolKey.h"
#include "connection/SessionHooks.h"
#include "connection/clilib_records.h"
#include "foundation/APIException.h"
#include "foundation/InternalStatus.h"

namespace {

constexpr int kSessionClosed = -202;
constexpr int kNameUnreadable = -56;

// Procedure 3 (the proxy switch's name) or 2 (the fabric's name) into `out`.
void readName(Fabric_Connection_Impl_RPC& connection, bool fabric, unsigned char out[8]) {
    WWNBytes* reply = fabric ? connection.rpcGetFabricWWN() : connection.rpcGetSwitchName();
    if (reply == nullptr) {
        throw ConnectionException(fabric
                                      ? "getFabricWWNAddress call in "
                                        "Fabric_Connection_Impl_RPC failed"
                                      : "getSwitchName call in Fabric_Connection_Impl_RPC failed",
                                  kNameUnreadable);
    }
    std::memcpy(out, *reply, sizeof(WWNBytes));
    Fabric_Connection_Impl_RPC::freeReply(reply);
}

} // namespace

SessionContext* createSessionContext(ClientSession* session) {
    auto* ctx = static_cast<SessionContext*>(allocApiRecord(ApiRecordSessionContext, 1));
    if (ctx == nullptr) {
        throw ConnectionException("Unable to allocate memory.", REQ_ERR_NO_MEMORY);
    }
    ctx->session = session;
    Fabric_Connection_Impl_RPC* connection = nullptr;
    try {
        connection = sessionHooks().acquireConnection(session);
        if (connection == nullptr) {
            throw ConnectionException("Error session closed.", kSessionClosed);
        }
        ctx->handle = connection->getHandle();
        ctx->loginSignature = sessionHooks().loginSignature(session);
        readName(*connection, false, ctx->proxyWWN);
        readName(*connection, true, ctx->fabricWWN);
    } catch (const ConnectionException&) {
        if (connection != nullptr) {
            sessionHooks().releaseConnection(session, connection);
        }
        freeApiRecord(ctx);
        throw;
    }
    sessionHooks().releaseConnection(session, connection);
    return ctx;
}

void destroySessionContext(SessionContext* ctx) {
    if (ctx == nullptr) {
        return;
    }
    if (ctx->session != nullptr) {
        sessionHooks().deleteSession(ctx->session);
        ctx->session = nullptr;
    }
    ctx->handle = nullptr;
    freeApiRecord(ctx);
}

Fabric_Connection_Impl_RPC* getSessionRPCConnection(SessionContext* ctx) {
    if (ctx == nullptr || ctx->session == nullptr) {
        throw ConnectionException("Error session closed.", kSessionClosed);
    }
    Fabric_Connection_Impl_RPC* connection = sessionHooks().acquireConnection(ctx->session);
    if (connection == nullptr) {
        throw ConnectionException("Error session closed.", kSessionClosed);
    }
    return connection;
}

Fabric_Connection_Ifc* getSessionConnection(SessionContext* ctx) {
    return getSessionRPCConnection(ctx);
}

Fabric_Connection_Ifc* getSessionHTTPConnection(SessionContext* ctx) {
    if (ctx == nullptr || ctx->session == nullptr) {
        throw ConnectionException("Error session closed.", kSessionClosed);
    }
    Fabric_Connection_Ifc* connection =
        sessionHooks().getConnection(ctx->session, httpProtocolKey());
    if (connection == nullptr) {
        throw ConnectionException("Error session closed.", kSessionClosed);
    }
    return connection;
}

void returnSessionRPCConnection(Fabric_Connection_Ifc* connection, SessionContext* ctx) {
    if (ctx == nullptr || ctx->session == nullptr || connection == nullptr) {
        return;
    }
    try {
        sessionHooks().releaseConnection(ctx->session, connection);
    } catch (const ConnectionException&) {
        // The request is done with the connection either way.
    }
}
