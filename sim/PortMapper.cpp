#include "sim/PortMapper.h"

#include <netconfig.h>
#include <netinet/in.h>
#include <rpc/pmap_prot.h>
#include <rpc/rpcb_prot.h>

#include "remote_api.h"

namespace {

constexpr std::uint32_t kRpcbProgram = 100000;
constexpr std::uint32_t kNullProc = 0;
constexpr std::uint32_t kGetPortV2 = 3; // PMAPPROC_GETPORT
constexpr std::uint32_t kDump = 4;      // PMAPPROC_DUMP and RPCBPROC_DUMP
constexpr std::uint32_t kGetAddr = 3;   // RPCBPROC_GETADDR
constexpr std::uint32_t kGetVersAddr = 9;
constexpr std::uint32_t kGetAddrList = 11;

// Switch daemons run as root; rpcbind reports such mappings under this owner.
constexpr char kOwner[] = "superuser";

const char* netid(Transport transport) {
    return transport == Transport::Tcp ? "tcp" : "udp";
}

u_long ipProtocol(Transport transport) {
    return transport == Transport::Tcp ? IPPROTO_TCP : IPPROTO_UDP;
}

std::optional<Transport> transportOfNetid(const char* text) {
    const std::string name = text != nullptr ? text : "";
    if (name == "tcp") {
        return Transport::Tcp;
    }
    if (name == "udp") {
        return Transport::Udp;
    }
    return std::nullopt;
}

// "127.1.2.3" and port 0x1234 give "127.1.2.3.18.52".
std::string universalAddress(const std::string& address, std::uint16_t port) {
    return address + "." + std::to_string(port >> 8) + "." + std::to_string(port & 0xFF);
}

Bytes success(std::uint32_t xid, xdrproc_t filter, void* result) {
    auto body = encodeXdr(filter, result);
    if (!body) {
        return acceptedReply(xid, AcceptStatus::SystemError);
    }
    return acceptedReply(xid, AcceptStatus::Success, *body);
}

// The list of `mappings` as `filter` encodes it: one node per mapping, made
// by `makeNode` from the mapping and its universal address (which outlives
// the node), linked front to back through `next`.
template <typename Node, typename MakeNode>
Bytes encodeList(std::uint32_t xid, const std::string& address,
                 const std::vector<PortMapper::Mapping>& mappings, Node* Node::*next,
                 xdrproc_t filter, MakeNode makeNode) {
    std::vector<std::string> addresses;
    addresses.reserve(mappings.size()); // the nodes point into these strings
    std::vector<Node> nodes;
    for (const auto& m : mappings) {
        addresses.push_back(universalAddress(address, m.port));
        nodes.push_back(makeNode(m, addresses.back().data()));
    }
    for (std::size_t i = 0; i + 1 < nodes.size(); ++i) {
        nodes[i].*next = &nodes[i + 1];
    }
    Node* head = nodes.empty() ? nullptr : &nodes.front();
    return success(xid, filter, &head);
}

// The version 2 DUMP result: every mapping as (program, version, protocol, port).
Bytes encodePmapDump(std::uint32_t xid, const std::string& address,
                     const std::vector<PortMapper::Mapping>& mappings) {
    return encodeList(
        xid, address, mappings, &pmaplist::pml_next, reinterpret_cast<xdrproc_t>(xdr_pmaplist),
        [](const PortMapper::Mapping& m, char*) {
            return pmaplist{{m.program, m.version, ipProtocol(m.transport), m.port}, nullptr};
        });
}

// The version 3 and 4 DUMP result: every mapping with its netid, universal
// address and owner.
Bytes encodeRpcbDump(std::uint32_t xid, const std::string& address,
                     const std::vector<PortMapper::Mapping>& mappings) {
    return encodeList(
        xid, address, mappings, &rp__list::rpcb_next, reinterpret_cast<xdrproc_t>(xdr_rpcblist_ptr),
        [](const PortMapper::Mapping& m, char* uaddr) {
            return rp__list{{m.program, m.version, const_cast<char*>(netid(m.transport)), uaddr,
                             const_cast<char*>(kOwner)},
                            nullptr};
        });
}

// The version 4 GETADDRLIST result: one entry per transport of the program.
Bytes encodeAddrList(std::uint32_t xid, const std::string& address,
                     const std::vector<PortMapper::Mapping>& mappings) {
    return encodeList(xid, address, mappings, &rpcb_entry_list::rpcb_entry_next,
                      reinterpret_cast<xdrproc_t>(xdr_rpcb_entry_list_ptr),
                      [](const PortMapper::Mapping& m, char* uaddr) {
                          char* name = const_cast<char*>(netid(m.transport));
                          const unsigned semantics =
                              m.transport == Transport::Tcp ? NC_TPI_COTS_ORD : NC_TPI_CLTS;
                          return rpcb_entry_list{
                              {uaddr, name, semantics, const_cast<char*>("inet"), name}, nullptr};
                      });
}

} // namespace

void PortMapper::registerRpcbind(const std::string& address, std::uint16_t tcpPort,
                                 std::uint16_t udpPort) {
    auto& list = mappings_[address];
    const std::pair<Transport, std::uint16_t> ports[] = {{Transport::Tcp, tcpPort},
                                                         {Transport::Udp, udpPort}};
    for (const auto& [transport, port] : ports) {
        for (std::uint32_t version = 4; version >= 2; --version) {
            list.push_back({kRpcbProgram, version, transport, port});
        }
    }
}

void PortMapper::registerManagement(const std::string& address, std::uint16_t port) {
    mappings_[address].push_back({REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, Transport::Tcp, port});
}

const std::vector<PortMapper::Mapping>& PortMapper::mappings(const std::string& address) const {
    static const std::vector<Mapping> none;
    auto it = mappings_.find(address);
    return it == mappings_.end() ? none : it->second;
}

std::vector<PortMapper::Mapping>
PortMapper::lookup(const std::string& address, std::uint32_t program, std::uint32_t version) const {
    std::vector<Mapping> found;
    for (const auto& m : mappings(address)) {
        if (m.program == program && m.version == version) {
            found.push_back(m);
        }
    }
    return found;
}

std::optional<PortMapper::Mapping> PortMapper::find(const std::string& address,
                                                    std::uint32_t program, std::uint32_t version,
                                                    Transport transport, bool anyVersion) const {
    std::optional<Mapping> other;
    for (const auto& m : mappings(address)) {
        if (m.program != program || m.transport != transport) {
            continue;
        }
        if (m.version == version) {
            return m;
        }
        if (anyVersion && !other) {
            other = m;
        }
    }
    return other;
}

std::optional<Bytes> PortMapper::handle(const std::string& address, const RpcCall& call) const {
    if (call.rpcVersion != 2) {
        return rpcMismatchReply(call.xid);
    }
    if (call.program != kRpcbProgram) {
        return acceptedReply(call.xid, AcceptStatus::ProgramUnavailable);
    }
    if (call.version < 2 || call.version > 4) {
        return programMismatchReply(call.xid, 2, 4);
    }
    if (call.procedure == kNullProc) {
        return acceptedReply(call.xid, AcceptStatus::Success);
    }
    return call.version == 2 ? handleVersion2(address, call) : handleRpcbind(address, call);
}

std::optional<Bytes> PortMapper::handleVersion2(const std::string& address,
                                                const RpcCall& call) const {
    if (call.procedure == kDump) {
        return encodePmapDump(call.xid, address, mappings(address));
    }
    if (call.procedure != kGetPortV2) {
        return acceptedReply(call.xid, AcceptStatus::ProcedureUnavailable);
    }
    pmap query{};
    if (!decodeXdr(call.args, reinterpret_cast<xdrproc_t>(xdr_pmap), &query)) {
        return acceptedReply(call.xid, AcceptStatus::GarbageArguments);
    }
    u_long port = 0;
    const auto protocol = query.pm_prot;
    if (protocol == IPPROTO_TCP || protocol == IPPROTO_UDP) {
        const auto found = find(address, static_cast<std::uint32_t>(query.pm_prog),
                                static_cast<std::uint32_t>(query.pm_vers),
                                protocol == IPPROTO_TCP ? Transport::Tcp : Transport::Udp, true);
        port = found ? found->port : 0;
    }
    return success(call.xid, reinterpret_cast<xdrproc_t>(xdr_u_long), &port);
}

std::optional<Bytes> PortMapper::handleRpcbind(const std::string& address,
                                               const RpcCall& call) const {
    if (call.procedure == kDump) {
        return encodeRpcbDump(call.xid, address, mappings(address));
    }
    const bool listQuery = call.version == 4 && call.procedure == kGetAddrList;
    const bool addrQuery =
        call.procedure == kGetAddr || (call.version == 4 && call.procedure == kGetVersAddr);
    if (!listQuery && !addrQuery) {
        return acceptedReply(call.xid, AcceptStatus::ProcedureUnavailable);
    }
    RPCB query{};
    const bool decoded = decodeXdr(call.args, reinterpret_cast<xdrproc_t>(xdr_rpcb), &query);
    const std::uint32_t program = query.r_prog;
    const std::uint32_t version = query.r_vers;
    const std::optional<Transport> transport = transportOfNetid(query.r_netid);
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_rpcb), reinterpret_cast<char*>(&query));
    if (!decoded) {
        return acceptedReply(call.xid, AcceptStatus::GarbageArguments);
    }
    if (listQuery) {
        return encodeAddrList(call.xid, address, lookup(address, program, version));
    }
    std::optional<Mapping> found;
    if (transport) {
        found = find(address, program, version, *transport, call.procedure == kGetAddr);
    }
    std::string uaddr = found ? universalAddress(address, found->port) : std::string();
    char* text = uaddr.data();
    return success(call.xid, reinterpret_cast<xdrproc_t>(xdr_wrapstring), &text);
}
