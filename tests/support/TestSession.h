// The session of a test on a simulated proxy switch: a real ClientSession
// over an RPC connection without login (the simulator answers requests
// without one unless its fabric checks credentials), its session context,
// and the library's session and recovery hooks, which start-up installs in
// the product.
#pragma once

#include <stdexcept>
#include <string>

#include "api/ClientSession.h"
#include "api/ClientSessionHooks.h"
#include "api/FabricRecheck.h"
#include "api/ProxyRPCConnection.h"
#include "connection/clilib_session.h"
#include "objects/FabricTreeReader.h"

class TestSession {
public:
    explicit TestSession(const std::string& address, const std::string& user = "",
                         const std::string& password = "") {
        installClientSessionHooks();
        installFabricRecheckHooks();
        installFabricTreeReader();
        const FabricProxyEntry entry(user, password, IPAddress(address.c_str()));
        const int mode = user.empty() ? CONNECTION_LOGIN_NONE : CONNECTION_LOGIN_PASSWORD;
        auto* session = new ClientSession(entry, getProxyRPCConnection(entry, mode), false);
        try {
            ctx_ = createSessionContext(session);
        } catch (...) {
            delete session;
            throw;
        }
    }
    ~TestSession() { close(); }
    TestSession(const TestSession&) = delete;
    TestSession& operator=(const TestSession&) = delete;

    SessionContext* context() const { return ctx_; }
    ClientSession* session() const { return ctx_ != nullptr ? ctx_->session : nullptr; }
    // Whether a request still holds the session's connection.
    bool connectionInUse() const { return session() != nullptr && session()->isConnectionInUse(); }
    // Destroys the context, and the session with it.
    void close() {
        destroySessionContext(ctx_);
        ctx_ = nullptr;
    }

private:
    SessionContext* ctx_ = nullptr;
};
