// The session of a test: one RPC connection to a simulated proxy switch,
// lent to the request layer through the session hooks, counting what the
// layer does with it.
#pragma once

#include <memory>
#include <rpc/rpc.h>
#include <string>

#include "connection/Fabric_Connection_Impl_RPC.h"
#include "connection/SessionHooks.h"

class TestSession : public SessionHooks {
public:
    explicit TestSession(const std::string& address)
        : connection_(std::make_unique<Fabric_Connection_Impl_RPC>(
              clnt_create(address.c_str(), REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, "tcp"))) {}

    Fabric_Connection_Impl_RPC* acquireConnection(ClientSession*) override {
        ++borrowed;
        return connection_.get();
    }
    void releaseConnection(ClientSession*, Fabric_Connection_Impl_RPC*) override { ++returned; }
    const char* loginSignature(Fabric_Connection_Impl_RPC*) override { return "host;sig;1"; }
    void deleteSession(ClientSession*) override { ++deleted; }

    bool connected() const { return connection_->getHandle() != nullptr; }

    int borrowed = 0;
    int returned = 0;
    int deleted = 0;

private:
    std::unique_ptr<Fabric_Connection_Impl_RPC> connection_;
};

// The owner that a test's session context names: any non-null pointer
// serves.
inline ClientSession* fakeOwner() {
    static int owner;
    return reinterpret_cast<ClientSession*>(&owner);
}
