// The rpcbind/portmapper answers (program 100000) of one proxy address:
// version 2 GETPORT, versions 3 and 4 GETADDR, and version 4 GETVERSADDR
// and GETADDRLIST, over TCP and UDP. Only the management program over TCP
// is registered; every other question gets "not registered".
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "sim/RpcMessage.h"

class PortMapper {
public:
    // Registers the management program's TCP port on `address`.
    void registerManagement(const std::string& address, std::uint16_t port);

    // The reply to a call that arrived on `address`; nothing for a call
    // that is not worth an answer.
    std::optional<Bytes> handle(const std::string& address, const RpcCall& call) const;

private:
    std::optional<std::uint16_t> lookup(const std::string& address, std::uint32_t program,
                                        std::uint32_t version) const;

    std::map<std::string, std::uint16_t> managementPorts_; // filled before serving starts
};
