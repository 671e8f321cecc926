// The identity of one connection object: its address. Two identities are
// equal when they name the same object; they order by address.
#pragma once

#include "connection/Quillon_CollectionMember_Ifc.h"

#include <cstdint>

class ConnectionID : public Quillon_CollectionMember_Ifc {
public:
    explicit ConnectionID(const void* object)
        : address_(reinterpret_cast<std::uintptr_t>(object)) {}

    // The address folded into an int.
    int hashCode() const override;
    bool equals(const Quillon_CollectionMember_Ifc& other) const override;

    bool operator==(const ConnectionID& other) const { return address_ == other.address_; }
    bool operator<(const ConnectionID& other) const { return address_ < other.address_; }
    bool operator<=(const ConnectionID& other) const { return address_ <= other.address_; }
    bool operator>(const ConnectionID& other) const { return !(*this <= other); }
    bool operator>=(const ConnectionID& other) const { return !(*this < other); }

private:
    std::uintptr_t address_;
};
