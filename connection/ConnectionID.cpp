#include "connection/ConnectionID.h"

int ConnectionID::hashCode() const {
    // Addresses are 64 bits wide here: fold the high half into the low one.
    const std::uint64_t wide = address_;
    return static_cast<int>(static_cast<std::uint32_t>(wide ^ (wide >> 32)));
}

bool ConnectionID::equals(const Quillon_CollectionMember_Ifc& other) const {
    const auto* id = dynamic_cast<const ConnectionID*>(&other);
    return id != nullptr && id->address_ == address_;
}
