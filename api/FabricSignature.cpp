#include "api/FabricSignature.h"

#include "connection/Fabric_Connection_Impl_RPC.h"
#include "connection/clilib_request.h"
#include "connection/clilib_session.h"
#include "foundation/APIException.h"
#include "foundation/InternalStatus.h"
#include "foundation/StatusTranslation.h"

namespace {
constexpr int kFabricSwitchListRequest = 257;
constexpr const char kSwitchListError[] = "Error getting fabric switch list.";

FabricSignature readLive(SessionContext* ctx) {
    Fabric_Connection_Impl_RPC* connection = getSessionRPCConnection(ctx);
    try {
        FabricSignature live = makeFabricSignature(*connection);
        returnSessionRPCConnection(connection, ctx);
        return live;
    } catch (...) {
        returnSessionRPCConnection(connection, ctx);
        throw;
    }
}

} // namespace

FabricSignature::FabricSignature(const WWNAddress& fabricWWN, const std::set<WWNAddress>& switches,
                                 bool complete)
    : fabricWWN(fabricWWN), switches(switches), complete(complete) {}

FabricSignature::FabricSignature(SessionContext* ctx) : FabricSignature(readLive(ctx)) {}

bool FabricSignature::lessThan(const FabricSignature& other) const {
    return fabricWWN < other.fabricWWN;
}

bool FabricSignature::equals(const FabricSignature& other) const {
    return this == &other || (fabricWWN == other.fabricWWN && switches == other.switches);
}

WWNAddress FabricSignature::getFabricWWN() const {
    return fabricWWN;
}

std::set<WWNAddress> FabricSignature::getSwitches() const {
    return switches;
}

bool FabricSignature::hasZeroFabricWWN() const {
    return fabricWWN.isZero();
}

bool FabricSignature::containsSwitch(const unsigned char name[8]) const {
    return containsSwitch(WWNAddress(name));
}

bool FabricSignature::containsSwitch(const WWNAddress& name) const {
    return switches.count(name) != 0;
}

bool FabricSignature::isComplete() const {
    return complete;
}

void FabricSignature::setComplete(bool value) {
    complete = value;
}

void FabricSignature::setSwitches(const std::set<WWNAddress>& value) {
    switches = value;
    complete = true;
}

FabricSignature makeFabricSignature(Fabric_Connection_Impl_RPC& connection) {
    const WWNAddress fabricWWN = connection.getFabricWWNAddress();
    std::set<WWNAddress> switches;
    if (!fabricWWN.isZero()) {
        readFabricSwitchList(connection, switches);
    }
    return FabricSignature(fabricWWN, switches, true);
}

void readFabricSwitchList(Fabric_Connection_Impl_RPC& connection, std::set<WWNAddress>& switches) {
    // The request carries an empty query: no switch name, an empty text.
    char empty[] = "";
    MSRequestArgs args = clilib::newRequest(kFabricSwitchListRequest);
    args.MSRequestArgs_u.fcsQuery.text = empty;
    clilib::MSReplyPtr reply(connection.rpcMSSvrRequest(&args));
    if (!reply) {
        throw ConnectionException(kSwitchListError, REQ_ERR_RPC_NO_REPLY);
    }
    if (reply->status != 0) {
        throw ConnectionException(kSwitchListError, MapApiError(reply->status));
    }
    if (reply->body.command != kFabricSwitchListRequest) {
        throw ConnectionException(kSwitchListError, REQ_ERR_RPC_NO_REPLY);
    }
    const auto& elements = reply->body.MSReplyBody_u.elements;
    for (u_int i = 0; i < elements.elements_len; ++i) {
        const ElementEntry& entry = elements.elements_val[i];
        if (entry.value == 1) {
            switches.insert(WWNAddress(reinterpret_cast<const unsigned char*>(entry.name)));
        }
    }
}
