#include "connection/ManagementClient.h"

#include <rpc/pmap_prot.h>

#include <chrono>
#include <cstring>

#include "connection/SigpipeBlock.h"
#include "connection/XdrFilter.h"
#include "foundation/InternalTiming.h"
#include "platform/winsock.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned short kPortmapperPort = 111;

std::chrono::milliseconds remaining(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? left : std::chrono::milliseconds(0);
}

timeval asTimeval(std::chrono::milliseconds interval) {
    timeval value{};
    value.tv_sec = static_cast<time_t>(interval.count() / 1000);
    value.tv_usec = static_cast<suseconds_t>((interval.count() % 1000) * 1000);
    return value;
}

// A TCP socket connected to address:port before the deadline, or -1.
SOCKET connectBefore(in_addr address, unsigned short port, Clock::time_point deadline) {
    const auto left = remaining(deadline);
    if (left.count() == 0) {
        return INVALID_SOCKET;
    }
    const SOCKET sock = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (sock == INVALID_SOCKET) {
        return INVALID_SOCKET;
    }
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr = address;
    if (connectWithTimeout(sock, reinterpret_cast<const sockaddr*>(&target), sizeof(target),
                           left) != 0) {
        closesocket(sock);
        return INVALID_SOCKET;
    }
    return sock;
}

// A client handle on a connected socket; it closes the socket when it goes.
CLIENT* clientOn(SOCKET sock, in_addr address, unsigned short port, rpcprog_t program,
                 rpcvers_t version) {
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr = address;
    int fd = sock;
    CLIENT* client = clnttcp_create(&target, program, version, &fd, 0, 0);
    if (client == nullptr) {
        closesocket(sock);
        return nullptr;
    }
    clnt_control(client, CLSET_FD_CLOSE, nullptr);
    return client;
}

// The program's TCP port as the host's portmapper gives it; 0 when unknown.
unsigned short askPortmapper(in_addr address, rpcprog_t program, rpcvers_t version,
                             Clock::time_point deadline) {
    const SOCKET sock = connectBefore(address, kPortmapperPort, deadline);
    if (sock == INVALID_SOCKET) {
        return 0;
    }
    CLIENT* portmapper = clientOn(sock, address, kPortmapperPort, PMAPPROG, PMAPVERS);
    if (portmapper == nullptr) {
        return 0;
    }
    pmap query{};
    query.pm_prog = program;
    query.pm_vers = version;
    query.pm_prot = IPPROTO_TCP;
    u_int port = 0;
    const timeval timeout = asTimeval(remaining(deadline));
    enum clnt_stat status;
    {
        SigpipeBlock sigpipeBlock;
        status = clnt_call(portmapper, PMAPPROC_GETPORT, asXdrFilter(xdr_pmap),
                           reinterpret_cast<char*>(&query), asXdrFilter(xdr_u_int),
                           reinterpret_cast<char*>(&port), timeout);
    }
    clnt_destroy(portmapper);
    if (status != RPC_SUCCESS || port == 0 || port > 0xFFFF) {
        return 0;
    }
    return static_cast<unsigned short>(port);
}

} // namespace

CLIENT* openManagementClient(const char* host, rpcprog_t program, rpcvers_t version) {
    const Clock::time_point deadline = Clock::now() + internalTiming().connectTimeout;
    in_addr address{};
    if (host == nullptr || !resolveIPv4(host, &address)) {
        return nullptr;
    }
    const unsigned short port = askPortmapper(address, program, version, deadline);
    if (port == 0) {
        return nullptr;
    }
    const SOCKET sock = connectBefore(address, port, deadline);
    if (sock == INVALID_SOCKET) {
        return nullptr;
    }
    return clientOn(sock, address, port, program, version);
}
