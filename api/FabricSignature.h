// Which fabric a proxy switch belongs to and which switches that fabric
// has: the fabric's world wide name and the set of its switches' names.
#pragma once

#include <set>

#include "foundation/WWNAddress.h"

class Fabric_Connection_Impl_RPC;
struct SessionContext;

class FabricSignature {
public:
    FabricSignature(const WWNAddress& fabricWWN, const std::set<WWNAddress>& switches,
                    bool complete);
    // The fabric as it is now, read over the session's own connection
    // (borrowed and given back) by makeFabricSignature. Throws
    // ConnectionException: "Error session closed." with -202 without a
    // session, else the read's.
    explicit FabricSignature(SessionContext* ctx);
    FabricSignature(const FabricSignature&) = default;
    FabricSignature& operator=(const FabricSignature&) = default;
    virtual ~FabricSignature() = default;

    // This fabric's name orders before the other's.
    virtual bool lessThan(const FabricSignature& other) const;
    // The same fabric name and the same switches.
    virtual bool equals(const FabricSignature& other) const;
    virtual WWNAddress getFabricWWN() const;
    virtual std::set<WWNAddress> getSwitches() const;
    virtual bool hasZeroFabricWWN() const;
    virtual bool containsSwitch(const unsigned char name[8]) const;
    virtual bool containsSwitch(const WWNAddress& name) const;
    virtual bool isComplete() const;
    virtual void setComplete(bool complete);
    // Replaces the switch set by a copy of `switches` and marks the
    // signature complete.
    virtual void setSwitches(const std::set<WWNAddress>& switches);

private:
    WWNAddress fabricWWN;
    std::set<WWNAddress> switches;
    bool complete;
};

// The fabric's name (procedure 2) and, unless it is all zero, its switch
// list; complete. Throws the reads' ConnectionException.
FabricSignature makeFabricSignature(Fabric_Connection_Impl_RPC& connection);

// Request 257 over `connection`: adds the name of every listed element
// whose flag is 1 to `switches`. Throws ConnectionException("Error getting
// fabric switch list.") with -10200 without a reply, or with the switch's
// mapped status.
void readFabricSwitchList(Fabric_Connection_Impl_RPC& connection, std::set<WWNAddress>& switches);
