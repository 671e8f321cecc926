#include "api/FabricDiscoveryMgr.h"

#include <memory>

#include "api/FabricIdentityRegistry.h"
#include "api/ProxyEntryList.h"
#include "api/ProxyRPCConnection.h"
#include "connection/Fabric_Connection_Impl_RPC.h"
#include "foundation/APIException.h"
#include "foundation/InternalStatus.h"
#include "foundation/Logging.h"
#include "foundation/ShutdownLock.h"

namespace {

constexpr const char kSource[] = "FabricDiscoveryMgr";

void trace(const char* message, const char* method, const std::string& argument) {
    logTrace(Vosk_Discovery, message, QuillonString(method), argument.c_str(),
             QuillonString(kSource), -1);
}

struct Disconnect {
    void operator()(Fabric_Connection_Impl_RPC* connection) const {
        FabricDiscoveryMgr::disconnect(connection);
    }
};
using DiscoveryConnection = std::unique_ptr<Fabric_Connection_Impl_RPC, Disconnect>;

} // namespace

std::unique_ptr<FabricDiscoveryInfo>
FabricDiscoveryMgr::discover(const std::vector<FabricProxyEntry>& entries) {
    static constexpr const char method[] = "FabricDiscoveryMgr::discover()";
    FabricIdentityMap identities;
    std::vector<FabricProxyEntry> unreachable;
    std::vector<FabricProxyEntry> unstable;
    for (const FabricProxyEntry& entry : entries) {
        const std::string host = entry.getHost().c_str();
        // A shutdown waits for this discovery: let it wait for the proxy
        // switch being tried at most, not for every one left.
        if (IsShuttingDown()) {
            trace("Shutdown began, discovery stops before proxy switch: ", method, host);
            break;
        }
        DiscoveryConnection connection;
        try {
            connection.reset(connect(entry));
        } catch (const APIException& e) {
            trace("Proxy switch unreachable: ", method, host + " " + e.getMessage());
            unreachable.push_back(entry);
            continue;
        }
        WWNAddress fabricWWN;
        try {
            fabricWWN = connection->getFabricWWNAddress();
        } catch (const APIException& e) {
            trace("No fabric name from proxy switch: ", method, host + " " + e.getMessage());
            unreachable.push_back(entry);
            continue;
        }
        if (fabricWWN.isZero()) {
            trace("Proxy switch answered a zero fabric name: ", method, host);
            unstable.push_back(entry);
            continue;
        }
        trace("Proxy switch found in fabric: ", method, host + " " + fabricWWN.toString());
        FabricIdentity* identity = getOrCreateIdentity(fabricWWN, identities);
        identity->addProxyEntry(entry);
        readSignature(identity, *connection);
    }
    getFabricIdentityRegistry().replaceAll(identities);
    return std::make_unique<FabricDiscoveryInfo>(std::move(identities), std::move(unreachable),
                                                 std::move(unstable));
}

std::unique_ptr<FabricDiscoveryInfo> FabricDiscoveryMgr::discover() {
    return discover(getProxyEntryList().copyEntries());
}

Fabric_Connection_Impl_RPC* FabricDiscoveryMgr::connect(const FabricProxyEntry& entry) {
    return getProxyRPCConnection(entry, CONNECTION_LOGIN_NONE);
}

void FabricDiscoveryMgr::disconnect(Fabric_Connection_Impl_RPC* connection) {
    returnProxyRPCConnection(connection);
}

FabricIdentity* FabricDiscoveryMgr::getOrCreateIdentity(const WWNAddress& fabricWWN,
                                                        FabricIdentityMap& identities) {
    auto& slot = identities[fabricWWN];
    if (!slot) {
        slot = std::make_unique<FabricIdentity>(FabricSignature(fabricWWN, {}, false));
    }
    return slot.get();
}

void FabricDiscoveryMgr::readSignature(FabricIdentity* identity,
                                       Fabric_Connection_Impl_RPC& connection) {
    if (identity->isComplete() || !connection.hasLoginCredentials()) {
        return;
    }
    try {
        connection.loginWithSignature();
    } catch (const APIException&) {
        try {
            connection.loginWithPassword();
        } catch (const APIException&) {
            return;
        }
    }
    std::set<WWNAddress> switches;
    try {
        readFabricSwitchList(connection, switches);
    } catch (const APIException&) {
        return;
    }
    identity->setSwitches(switches);
}
