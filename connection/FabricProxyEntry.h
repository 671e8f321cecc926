// One proxy switch through which the library reaches a fabric: its IPv4
// address text and the user name and password to log in with. Entries are
// values: they are copied into identities, descriptors and sessions.
#pragma once

#include "foundation/IPAddress.h"

#include <string>

struct FabAPI_ProxyEntry;

class FabricProxyEntry {
public:
    FabricProxyEntry(std::string user, std::string password, IPAddress host);
    FabricProxyEntry(const FabricProxyEntry&) = default;
    FabricProxyEntry& operator=(const FabricProxyEntry&) = default;
    virtual ~FabricProxyEntry() = default;

    virtual void setUser(const std::string& user);
    virtual void setPassword(const std::string& password);
    virtual std::string getUser() const;
    virtual std::string getPassword() const;
    virtual IPAddress getHost() const;
    // Sum of the hashes of user, password and host address.
    virtual int hashCode() const;
    // Same user, password and host text.
    virtual bool equals(const FabricProxyEntry& other) const;

private:
    std::string user;
    std::string password;
    IPAddress host;
};

// An entry from a caller's record: a null user or password becomes empty;
// a null host throws APIException("NULL proxy entry host.").
FabricProxyEntry makeFabricProxyEntry(const FabAPI_ProxyEntry* record);
