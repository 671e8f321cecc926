#include "sim/TransferRequests.h"

#include <cstring>

#include "sim/SwitchTransfers.h"

namespace {

SwitchTransfers& transfers() {
    return SwitchTransfers::instance();
}

} // namespace

void downloadStartRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply) {
    transfers().downloadStart(ctx.address, args.MSRequestArgs_u.downloadStart,
                              reply.body.MSReplyBody_u.pair);
}

void downloadDataRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply) {
    transfers().downloadData(ctx.address, args.MSRequestArgs_u.downloadData,
                             reply.body.MSReplyBody_u.pair);
}

void downloadAbortRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply) {
    transfers().downloadAbortOrEnd(ctx.address, args.MSRequestArgs_u.wwnInt, false,
                                   reply.body.MSReplyBody_u.pair);
}

void downloadEndRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply) {
    transfers().downloadAbortOrEnd(ctx.address, args.MSRequestArgs_u.wwnInt, true,
                                   reply.body.MSReplyBody_u.pair);
}

void uploadStartRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply) {
    transfers().uploadStart(ctx.address, args.MSRequestArgs_u.wwnInt,
                            reply.body.MSReplyBody_u.uploadStart);
}

void uploadDataRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply) {
    UploadDataReply& data = reply.body.MSReplyBody_u.uploadData;
    const std::vector<char> bytes =
        transfers().uploadData(ctx.address, args.MSRequestArgs_u.uploadData, data);
    data.data.data_len = static_cast<u_int>(bytes.size());
    data.data.data_val = ctx.arena.array<char>(bytes.size());
    if (!bytes.empty())
        std::memcpy(data.data.data_val, bytes.data(), bytes.size());
}

void uploadAbortOrEndRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply) {
    transfers().uploadAbortOrEnd(ctx.address, args.MSRequestArgs_u.wwnInt,
                                 reply.body.MSReplyBody_u.pair);
}

void serverDownloadRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply) {
    transfers().serverDownload(ctx.address, args.MSRequestArgs_u.serverDownload,
                               reply.body.MSReplyBody_u.pair);
}

void downloadCompletionRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply) {
    Wwn wwn;
    std::memcpy(wwn.data(), args.MSRequestArgs_u.wwn, wwn.size());
    reply.body.MSReplyBody_u.unsignedValue = transfers().completion(ctx.address, wwn);
}
