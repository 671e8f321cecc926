// Common base of the library's hashable members: connections, their
// identities and sessions. Hashed containers rely on equal members giving
// equal hash codes.
#pragma once

class Quillon_CollectionMember_Ifc {
public:
    virtual ~Quillon_CollectionMember_Ifc() = default;
    virtual int hashCode() const = 0;
    virtual bool equals(const Quillon_CollectionMember_Ifc& other) const = 0;
};
