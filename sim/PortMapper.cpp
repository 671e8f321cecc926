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
constexpr std::uint32_t kGetAddr = 3;   // RPCBPROC_GETADDR
constexpr std::uint32_t kGetVersAddr = 9;
constexpr std::uint32_t kGetAddrList = 11;

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

bool isTcp(const char* netid) {
    return netid != nullptr && std::string(netid) == "tcp";
}

} // namespace

void PortMapper::registerManagement(const std::string& address, std::uint16_t port) {
    managementPorts_[address] = port;
}

std::optional<std::uint16_t> PortMapper::lookup(const std::string& address, std::uint32_t program,
                                                std::uint32_t version) const {
    auto it = managementPorts_.find(address);
    if (it == managementPorts_.end() || program != REMOTE_MGMT_PROG ||
        version != REMOTE_MGMT_VERS) {
        return std::nullopt;
    }
    return it->second;
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
    if (call.version == 2) {
        if (call.procedure != kGetPortV2) {
            return acceptedReply(call.xid, AcceptStatus::ProcedureUnavailable);
        }
        pmap query{};
        if (!decodeXdr(call.args, reinterpret_cast<xdrproc_t>(xdr_pmap), &query)) {
            return acceptedReply(call.xid, AcceptStatus::GarbageArguments);
        }
        u_long port = 0;
        if (query.pm_prot == IPPROTO_TCP) {
            port = lookup(address, static_cast<std::uint32_t>(query.pm_prog),
                          static_cast<std::uint32_t>(query.pm_vers))
                       .value_or(0);
        }
        return success(call.xid, reinterpret_cast<xdrproc_t>(xdr_u_long), &port);
    }

    const bool listQuery = call.version == 4 && call.procedure == kGetAddrList;
    const bool addrQuery =
        call.procedure == kGetAddr || (call.version == 4 && call.procedure == kGetVersAddr);
    if (!listQuery && !addrQuery) {
        return acceptedReply(call.xid, AcceptStatus::ProcedureUnavailable);
    }
    RPCB query{};
    const bool decoded = decodeXdr(call.args, reinterpret_cast<xdrproc_t>(xdr_rpcb), &query);
    std::optional<std::uint16_t> port;
    if (decoded && (isTcp(query.r_netid) || listQuery)) {
        port = lookup(address, static_cast<std::uint32_t>(query.r_prog),
                      static_cast<std::uint32_t>(query.r_vers));
    }
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_rpcb), reinterpret_cast<char*>(&query));
    if (!decoded) {
        return acceptedReply(call.xid, AcceptStatus::GarbageArguments);
    }

    std::string uaddr = port ? universalAddress(address, *port) : std::string();
    if (addrQuery) {
        char* text = uaddr.data();
        return success(call.xid, reinterpret_cast<xdrproc_t>(xdr_wrapstring), &text);
    }
    std::string netid = "tcp";
    std::string family = "inet";
    rpcb_entry_list entry{};
    entry.rpcb_entry_map.r_maddr = uaddr.data();
    entry.rpcb_entry_map.r_nc_netid = netid.data();
    entry.rpcb_entry_map.r_nc_semantics = NC_TPI_COTS_ORD;
    entry.rpcb_entry_map.r_nc_protofmly = family.data();
    entry.rpcb_entry_map.r_nc_proto = netid.data();
    rpcb_entry_list_ptr list = port ? &entry : nullptr;
    return success(call.xid, reinterpret_cast<xdrproc_t>(xdr_rpcb_entry_list_ptr), &list);
}
