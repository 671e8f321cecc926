// The rpcbind/portmapper answers (program 100000) of the proxy addresses:
// version 2 GETPORT and DUMP, versions 3 and 4 GETADDR and DUMP, and
// version 4 GETVERSADDR and GETADDRLIST, over TCP and UDP. Each address
// lists rpcbind itself (versions 2 to 4, TCP and UDP) and the management
// program over TCP, as a switch's rpcbind does; nobody registers at run time.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sim/RpcMessage.h"
#include "sim/Socket.h"

class PortMapper {
public:
    // One registered program version on one transport.
    struct Mapping {
        std::uint32_t program;
        std::uint32_t version;
        Transport transport;
        std::uint16_t port;
    };

    // Registers rpcbind itself on `address`, on its TCP and UDP ports.
    void registerRpcbind(const std::string& address, std::uint16_t tcpPort, std::uint16_t udpPort);
    // Registers the management program's TCP port on `address`.
    void registerManagement(const std::string& address, std::uint16_t port);

    // The reply to a call that arrived on `address`; nothing for a call
    // that is not worth an answer.
    std::optional<Bytes> handle(const std::string& address, const RpcCall& call) const;

private:
    std::optional<Bytes> handleVersion2(const std::string& address, const RpcCall& call) const;
    std::optional<Bytes> handleRpcbind(const std::string& address, const RpcCall& call) const;
    // The mappings of `address` for (program, version), every transport.
    std::vector<Mapping> lookup(const std::string& address, std::uint32_t program,
                                std::uint32_t version) const;
    // The mapping of (program, version) on `transport`. As rpcbind does for
    // GETPORT and GETADDR, `anyVersion` falls back to another version of the
    // program, so that a client learns the version range from the server.
    std::optional<Mapping> find(const std::string& address, std::uint32_t program,
                                std::uint32_t version, Transport transport, bool anyVersion) const;
    const std::vector<Mapping>& mappings(const std::string& address) const;

    std::map<std::string, std::vector<Mapping>> mappings_; // filled before serving starts
};
