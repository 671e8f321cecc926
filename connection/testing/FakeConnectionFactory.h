// Test doubles for the connection manager and its pools: a connection that
// only remembers its descriptor, and a factory that counts what it makes and
// destroys and can be told to fail.
#pragma once

#include "connection/ConnectionDescriptor.h"
#include "connection/Fabric_Connection_Factory_Ifc.h"
#include "connection/Fabric_Connection_Ifc.h"
#include "foundation/APIException.h"

#include <atomic>

class FakeConnection : public Fabric_Connection_Ifc {
public:
    explicit FakeConnection(const ConnectionDescriptor& descriptor) : descriptor(descriptor) {}

    int hashCode() const override { return ConnectionID(this).hashCode(); }
    WWNAddress getFabricWWNAddress() override {
        throw ConnectionException("Unsupported operation.", -1);
    }
    FirmwareVersion getProxyVersion() override { throw ConnectionException("Unavailable.", -1); }
    WWNAddress getProxyWWNAddress() override { throw ConnectionException("Unavailable.", -1); }
    IPAddress getProxyIPAddress() override { return descriptor.getProxyEntry().getHost(); }
    ProtocolKey getProtocolDescriptor() override { return descriptor.getProtocolKey(); }
    std::string getLoginUser() override { return descriptor.getProxyEntry().getUser(); }
    std::string getLoginPassword() override { return descriptor.getProxyEntry().getPassword(); }
    ConnectionDescriptor getConnectionDescriptor() override { return descriptor; }
    void* getHandle() override { return this; }
    ConnectionStatus checkStatus() override { return {0, "ready"}; }

private:
    ConnectionDescriptor descriptor;
};

class FakeConnectionFactory : public Fabric_Connection_Factory_Ifc {
public:
    Fabric_Connection_Ifc* createFabricConnection(const ConnectionDescriptor& descriptor) override {
        if (failCreate) {
            throw ConnectionException("Unable to establish RPC connnection", -10023);
        }
        ++created;
        return new FakeConnection(descriptor);
    }
    void destroyFabricConnection(Fabric_Connection_Ifc* connection) override {
        ++destroyed;
        delete connection;
    }
    int live() const { return created - destroyed; }

    std::atomic<int> created{0};
    std::atomic<int> destroyed{0};
    std::atomic<bool> failCreate{false};
};

inline ConnectionDescriptor fakeDescriptor(const char* host,
                                           const ProtocolKey& key = rpcProtocolKey()) {
    return ConnectionDescriptor(key, FabricProxyEntry("user", "secret", IPAddress(host)),
                                CONNECTION_LOGIN_NONE);
}
