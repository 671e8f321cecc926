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

[[noreturn]] void noSession() {
    throw ConnectionException("Error session closed.", kSessionClosed);
}

} // namespace

Fabric_Connection_Impl_RPC* SessionHooks::acquireConnection(ClientSession*) {
    noSession();
}

Fabric_Connection_Ifc* SessionHooks::getConnection(ClientSession*, const ProtocolKey&) {
    noSession();
}

void SessionHooks::releaseConnection(ClientSession*, Fabric_Connection_Ifc*) {}

const char* SessionHooks::loginSignature(ClientSession*) {
    return nullptr;
}

IPAddress SessionHooks::proxyHost(ClientSession*) {
    return IPAddress("");
}

void SessionHooks::deleteSession(ClientSession*) {}

SessionHooks& sessionHooks() {
    SessionHooks* hooks = installed.load();
    return hooks != nullptr ? *hooks : defaultHooks();
}

SessionHooks* installSessionHooks(SessionHooks* hooks) {
    return installed.exchange(hooks);
}
