#include "connection/SessionHooks.h"

#include <atomic>

#include "foundation/APIException.h"

namespace {

constexpr int kSessionClosed = -202;

SessionHooks& defaultHooks() {
    static SessionHooks hooks;
    return hooks;
}

std::atomic<SessionHooks*> installed{nullptr};

} // namespace

Fabric_Connection_Impl_RPC* SessionHooks::acquireConnection(ClientSession*) {
    throw ConnectionException("Error session closed.", kSessionClosed);
}

void SessionHooks::releaseConnection(ClientSession*, Fabric_Connection_Impl_RPC*) {}

const char* SessionHooks::loginSignature(Fabric_Connection_Impl_RPC*) {
    return nullptr;
}

void SessionHooks::deleteSession(ClientSession*) {}

SessionHooks& sessionHooks() {
    SessionHooks* hooks = installed.load();
    return hooks != nullptr ? *hooks : defaultHooks();
}

SessionHooks* installSessionHooks(SessionHooks* hooks) {
    return installed.exchange(hooks);
}
