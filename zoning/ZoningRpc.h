// What every zoning operation does around one RPC exchange: the reply
// released when it goes out of scope (also on the way of an exception),
// the missing reply and the switch status turned into exception codes, and
// the call time-out raised for the long calls.
#pragma once

#include <rpc/rpc.h>

#include "connection/Fabric_Connection_Impl_RPC.h"
#include "zoning/UDAL_ZoningException.h"

// The decoding routine of each reply record the zoning code reads.
template <class Reply> struct ZoningReplyFilter;
template <> struct ZoningReplyFilter<ZoningStatusReply> {
    static constexpr auto filter = xdr_ZoningStatusReply;
};
template <> struct ZoningReplyFilter<ZoningNamesReply> {
    static constexpr auto filter = xdr_ZoningNamesReply;
};
template <> struct ZoningReplyFilter<ZoningTypeReply> {
    static constexpr auto filter = xdr_ZoningTypeReply;
};
template <> struct ZoningReplyFilter<ZoningTextReply> {
    static constexpr auto filter = xdr_ZoningTextReply;
};
template <> struct ZoningReplyFilter<ZoningValidateReply> {
    static constexpr auto filter = xdr_ZoningValidateReply;
};
template <> struct ZoningReplyFilter<NSReply> { static constexpr auto filter = xdr_NSReply; };

// A reply of one zoning wrapper (null when the call gave none); released
// (under the RPC lock, inside freeReply) by release() or at the end of its
// scope, so also before an exception leaves the operation.
template <class Reply> class ZoningReply {
public:
    explicit ZoningReply(Reply* reply) : reply_(reply) {}
    ~ZoningReply() { release(); }
    ZoningReply(ZoningReply&& other) noexcept : reply_(other.reply_) { other.reply_ = nullptr; }
    ZoningReply(const ZoningReply&) = delete;
    ZoningReply& operator=(const ZoningReply&) = delete;

    void release() {
        if (reply_ != nullptr) {
            Fabric_Connection_Impl_RPC::freeReply(ZoningReplyFilter<Reply>::filter, reply_);
            reply_ = nullptr;
        }
    }
    explicit operator bool() const { return reply_ != nullptr; }
    Reply* operator->() const { return reply_; }
    Reply& operator*() const { return *reply_; }

private:
    Reply* reply_;
};

// Throws code 8 when the call gave no reply.
template <class Reply> void requireReply(const ZoningReply<Reply>& reply, const char* operation) {
    if (!reply) {
        throw UDAL_ZoningException(8, operation);
    }
}

// Throws mapSwitchStatus(status) for a non-zero status.
void throwOnSwitchStatus(int status, const char* operation);

// One call of a status-reply procedure: code 8 without a reply, the mapped
// code of a non-zero status; the reply is released either way.
void expectSuccess(ZoningStatusReply* reply, const char* operation);

// Raises the call time-out of the connection's client handle to 60 s for
// one call; restore() (or the end of the scope) sets the previous value
// back. The handle is taken afresh each time, because a call that times out
// replaces it.
class RaisedCallTimeout {
public:
    explicit RaisedCallTimeout(Fabric_Connection_Impl_RPC& connection);
    ~RaisedCallTimeout() { restore(); }
    RaisedCallTimeout(const RaisedCallTimeout&) = delete;
    RaisedCallTimeout& operator=(const RaisedCallTimeout&) = delete;

    void restore();

private:
    Fabric_Connection_Impl_RPC& connection_;
    timeval saved_{};
    bool raised_ = false;
};
