#include "connection/ProtocolKey.h"

const int CONNECTION_KIND_RPC = 1;
const int CONNECTION_VERSION_RPC = 100;
const int CONNECTION_KIND_HTTP = 2;
const int CONNECTION_VERSION_HTTP = 101;

bool ProtocolKey::equals(const ProtocolKey& other) const {
    return this == &other || (kind_ == other.kind_ && version_ == other.version_);
}

int ProtocolKey::hashCode() const {
    // Unsigned arithmetic: wraps instead of overflowing for odd keys.
    return static_cast<int>(static_cast<unsigned>(kind_) * 1000u +
                            static_cast<unsigned>(version_) * 10u);
}

bool ProtocolKey::operator<(const ProtocolKey& other) const {
    if (this == &other) {
        return false;
    }
    if (kind_ != other.kind_) {
        return kind_ < other.kind_;
    }
    return version_ < other.version_;
}

ProtocolKey rpcProtocolKey() {
    return ProtocolKey(CONNECTION_KIND_RPC, CONNECTION_VERSION_RPC);
}

ProtocolKey httpProtocolKey() {
    return ProtocolKey(CONNECTION_KIND_HTTP, CONNECTION_VERSION_HTTP);
}
