#include "sim/EventRequests.h"

#include <cstring>

#include "sim/SwitchEvents.h"

namespace {

ProcedureResult statusReply(CallContext& ctx, int status, const std::string& message) {
    ZoningStatusReply reply{status, ctx.arena.text(message)};
    return encodeResult(reinterpret_cast<xdrproc_t>(xdr_ZoningStatusReply), &reply);
}

bool decodeListener(std::span<const char> args, EventListenerArgs& listener) {
    std::memset(&listener, 0, sizeof listener);
    return decodeXdr(args, reinterpret_cast<xdrproc_t>(xdr_EventListenerArgs), &listener);
}

Wwn wwnOf(const unsigned char* bytes) {
    Wwn wwn;
    std::memcpy(wwn.data(), bytes, wwn.size());
    return wwn;
}

} // namespace

ProcedureResult eventServerCreate(CallContext& ctx, std::span<const char> args) {
    EventListenerArgs listener;
    if (!decodeListener(args, listener))
        return {AcceptStatus::GarbageArguments, {}};
    std::string message;
    const int status = SwitchEvents::instance().registerListener(
        ctx.address, listener.address, listener.port, listener.flags, ctx.fabric.wwn, ctx.proxy.wwn,
        message);
    return statusReply(ctx, status, message);
}

ProcedureResult eventServerDelete(CallContext& ctx, std::span<const char> args) {
    EventListenerArgs listener;
    if (!decodeListener(args, listener))
        return {AcceptStatus::GarbageArguments, {}};
    const int status =
        SwitchEvents::instance().deregisterListener(ctx.address, listener.address, listener.port);
    return statusReply(ctx, status, status == 0 ? "" : "listener not registered");
}

void threxEventRegisterRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply) {
    const ListenerRegistration& registration = args.MSRequestArgs_u.listener;
    reply.status = SwitchEvents::instance().registerThrex(ctx.address, wwnOf(registration.wwn1),
                                                          registration.address, registration.port);
}

void threxEventDeregisterRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply) {
    const ListenerRegistration& registration = args.MSRequestArgs_u.listener;
    reply.status = SwitchEvents::instance().deregisterThrex(ctx.address, wwnOf(registration.wwn1));
    if (reply.status != 0)
        reply.message = ctx.arena.text("switch not registered");
}
