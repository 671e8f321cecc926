#include "connection/clilib_events.h"

#include <array>
#include <cstring>
#include <mutex>
#include <vector>

#include "connection/Fabric_Connection_Impl_RPC.h"
#include "connection/clilib.h"
#include "connection/clilib_request.h"
#include "foundation/APIException.h"
#include "foundation/InternalStatus.h"
#include "platform/winsock.h"

namespace {

constexpr int kThrexRegister = 1822;
constexpr int kThrexDeregister = 1823;
constexpr int kSwitchStatusNotFound = -21;
constexpr int kThrexNotRegistered = -36;

// The threshold event table: 256 names, an entry whose first byte is 0 is
// free.
class ThrexEventTable {
public:
    bool contains(const unsigned char name[8]) {
        std::scoped_lock lock(mutex_);
        return find(name) != nullptr;
    }
    void add(const unsigned char name[8]) {
        std::scoped_lock lock(mutex_);
        if (find(name) != nullptr)
            return;
        for (auto& slot : slots_) {
            if (slot[0] == 0) {
                std::memcpy(slot.data(), name, 8);
                return;
            }
        }
    }
    void remove(const unsigned char name[8]) {
        std::scoped_lock lock(mutex_);
        if (auto* slot = find(name))
            slot->fill(0);
    }
    std::vector<std::array<unsigned char, 8>> names() {
        std::scoped_lock lock(mutex_);
        std::vector<std::array<unsigned char, 8>> used;
        for (const auto& slot : slots_)
            if (slot[0] != 0)
                used.push_back(slot);
        return used;
    }

private:
    std::array<unsigned char, 8>* find(const unsigned char name[8]) {
        for (auto& slot : slots_)
            if (slot[0] != 0 && std::memcmp(slot.data(), name, 8) == 0)
                return &slot;
        return nullptr;
    }

    std::mutex mutex_;
    std::array<std::array<unsigned char, 8>, 256> slots_{};
};

ThrexEventTable& threxTable() {
    static ThrexEventTable table;
    return table;
}

// Borrows the session's connection for `use` and gives it back: -10023
// when there is none.
template <class Use> int withSessionConnection(SessionContext* ctx, Use use) {
    if (ctx == nullptr)
        return REQ_ERR_NO_CONNECTION;
    Fabric_Connection_Impl_RPC* connection = nullptr;
    try {
        connection = getSessionRPCConnection(ctx);
    } catch (const ConnectionException&) {
        return REQ_ERR_NO_CONNECTION;
    }
    const int status = use(*connection);
    returnSessionRPCConnection(connection, ctx);
    return status;
}

// The local IPv4 address (first octet high) of the connection's socket.
int localAddressOf(Fabric_Connection_Impl_RPC& connection, std::uint32_t& address) {
    CLIENT* handle = connection.getHandle();
    int fd = -1;
    if (handle == nullptr || !clnt_control(handle, CLGET_FD, reinterpret_cast<char*>(&fd)))
        return REQ_ERR_NO_CONNECTION;
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0 ||
        local.sin_family != AF_INET)
        return SVC_ERR_LOCAL_ADDRESS_UNREADABLE;
    address = ntohl(local.sin_addr.s_addr);
    return 0;
}

// Sends procedure 120 or 121 and returns the switch's status.
int sendListenerCall(Fabric_Connection_Impl_RPC& connection, const EventListenerArgs& args,
                     bool create) {
    ZoningStatusReply* reply =
        create ? connection.rpcEventRegister(&args) : connection.rpcEventDeregister(&args);
    if (reply == nullptr)
        return REQ_ERR_RPC_NO_REPLY;
    const int status = reply->status;
    Fabric_Connection_Impl_RPC::freeReply(xdr_ZoningStatusReply, reply);
    return status;
}

int sendThrexRegistration(SessionContext* ctx, int code, const unsigned char switchName[8]) {
    if (switchName == nullptr)
        return REQ_ERR_BAD_ARGUMENT;
    EventListenerAddress listener{};
    if (getEventListenerAddress(&listener) != 0)
        return SVC_ERR_LISTENER_NOT_RUNNING;
    MSRequestArgs args = clilib::newRequest(code);
    ListenerRegistration& registration = args.MSRequestArgs_u.listener;
    std::memcpy(registration.wwn1, switchName, 8);
    registration.address = listener.address;
    registration.port = listener.port;
    const int status = clilib::exchange(ctx, args);
    return status == kSwitchStatusNotFound ? kThrexNotRegistered : status;
}

} // namespace

int registerEventListener(SessionContext* ctx, const EventListenerAddress* listener, int flags) {
    if (!isEventListenerRunning())
        return SVC_ERR_LISTENER_NOT_RUNNING;
    if (listener == nullptr)
        return REQ_ERR_BAD_ARGUMENT;
    return withSessionConnection(ctx, [&](Fabric_Connection_Impl_RPC& connection) {
        std::uint32_t address = 0;
        if (const int status = localAddressOf(connection, address); status != 0)
            return status;
        setEventListenerAddress(address);
        EventListenerArgs args{address, listener->port, flags};
        return sendListenerCall(connection, args, true);
    });
}

int deregisterEventListener(SessionContext* ctx, const EventListenerAddress* listener) {
    return deregisterEventListener(ctx, listener, [](const unsigned char*) { return true; });
}

int deregisterEventListener(SessionContext* ctx, const EventListenerAddress* listener,
                            const std::function<bool(const unsigned char*)>& deregisterSwitch) {
    if (listener == nullptr)
        return REQ_ERR_BAD_ARGUMENT;
    for (const auto& name : threxTable().names())
        if (!deregisterSwitch || deregisterSwitch(name.data()))
            threxEventDeregister(ctx, name.data());
    return withSessionConnection(ctx, [&](Fabric_Connection_Impl_RPC& connection) {
        EventListenerArgs args{listener->address, listener->port, 0};
        return sendListenerCall(connection, args, false);
    });
}

int threxEventRegister(SessionContext* ctx, const unsigned char switchName[8]) {
    const int status = sendThrexRegistration(ctx, kThrexRegister, switchName);
    if (status == 0)
        threxTable().add(switchName);
    return status;
}

int threxEventDeregister(SessionContext* ctx, const unsigned char switchName[8]) {
    const int status = sendThrexRegistration(ctx, kThrexDeregister, switchName);
    if (status == 0)
        threxTable().remove(switchName);
    return status;
}

bool isThrexEventSwitchRegistered(const unsigned char switchName[8]) {
    return switchName != nullptr && threxTable().contains(switchName);
}
