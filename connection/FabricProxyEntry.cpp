#include "connection/FabricProxyEntry.h"

#include "foundation/APIException.h"
#include "foundation/Hashing.h"
#include "orvane/fabapi.h"

#include <cstdint>
#include <utility>

FabricProxyEntry::FabricProxyEntry(std::string user, std::string password, IPAddress host)
    : user(std::move(user)), password(std::move(password)), host(std::move(host)) {}

void FabricProxyEntry::setUser(const std::string& newUser) {
    user = newUser;
}

void FabricProxyEntry::setPassword(const std::string& newPassword) {
    password = newPassword;
}

std::string FabricProxyEntry::getUser() const {
    return user;
}

std::string FabricProxyEntry::getPassword() const {
    return password;
}

IPAddress FabricProxyEntry::getHost() const {
    return host;
}

int FabricProxyEntry::hashCode() const {
    // Added as 32-bit values that wrap, like the string hashes themselves.
    const std::uint32_t sum = HashString(user) + HashString(password) + host.hash();
    return static_cast<int>(sum);
}

bool FabricProxyEntry::equals(const FabricProxyEntry& other) const {
    return this == &other ||
           (user == other.user && password == other.password && host == other.host);
}

FabricProxyEntry makeFabricProxyEntry(const FabAPI_ProxyEntry* record) {
    if (record == nullptr || record->pcHostName == nullptr) {
        throw APIException("NULL proxy entry host.");
    }
    return FabricProxyEntry(record->pcUser != nullptr ? record->pcUser : "",
                            record->pcPassword != nullptr ? record->pcPassword : "",
                            IPAddress(record->pcHostName));
}
