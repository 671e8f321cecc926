// Platform requests: the registered platforms, their attributes, their
// registration and their settings.
#include <cstring>

#include "connection/Fabric_Connection_Impl_RPC.h"
#include "connection/clilib_request.h"
#include "connection/clilib_trace.h"
#include "foundation/APIException.h"

using namespace clilib;

namespace {

// Platform settings codes that the platform union carries.
bool isPlatformSetCode(int code) {
    switch (code) {
    case 0:
    case 1:
    case 657:
    case 658:
    case 659:
    case 913:
    case 914:
    case 915:
        return true;
    default:
        return false;
    }
}

} // namespace

int platGetNameList(SessionContext* ctx, PlatformNameList** result) {
    ClilibTrace trace("platGetNameList");
    if (ctx == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    return exchange(ctx, newRequest(418), [&](const ReplyArm& arm) {
        const auto& names = arm.platformNames;
        const unsigned int count = names.platformNames_len;
        std::size_t size = 0;
        if (__builtin_mul_overflow(static_cast<std::size_t>(count), sizeof(PlatformName), &size) ||
            __builtin_add_overflow(size, sizeof(PlatformNameList), &size)) {
            return REQ_ERR_NO_MEMORY;
        }
        auto* list = static_cast<PlatformNameList*>(allocApiBytes(size));
        if (list == nullptr) {
            return REQ_ERR_NO_MEMORY;
        }
        list->count = static_cast<int>(count);
        list->entries = reinterpret_cast<PlatformName*>(list + 1);
        if (count > 0) {
            std::memcpy(list->entries, names.platformNames_val, count * sizeof(PlatformName));
        }
        for (unsigned int i = 0; i < count; ++i) {
            terminate(list->entries[i].name);
        }
        *result = list;
        return 0;
    });
}

int platGetAttrib(SessionContext* ctx, const PlatformName* platform, PlatformAttributes** result) {
    ClilibTrace trace("platGetAttrib");
    if (ctx == nullptr || platform == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    MSRequestArgs args = newRequest(404);
    args.MSRequestArgs_u.platform = *platform;
    return exchange(ctx, args, [&](const ReplyArm& arm) {
        const PlatformAttributes& reply = arm.platform;
        const unsigned int members = reply.members.members_len;
        const unsigned int wwns = reply.wwns.wwns_len;
        std::size_t memberBytes = 0;
        std::size_t wwnBytes = 0;
        std::size_t size = 0;
        if (__builtin_mul_overflow(static_cast<std::size_t>(members), sizeof(PlatformName),
                                   &memberBytes) ||
            __builtin_mul_overflow(static_cast<std::size_t>(wwns), sizeof(WWNBytes), &wwnBytes) ||
            __builtin_add_overflow(sizeof(PlatformAttributes), memberBytes, &size) ||
            __builtin_add_overflow(size, wwnBytes, &size)) {
            return REQ_ERR_NO_MEMORY;
        }
        auto* block = static_cast<PlatformAttributes*>(allocApiBytes(size));
        if (block == nullptr) {
            return REQ_ERR_NO_MEMORY;
        }
        *block = reply;
        terminate(block->platform.name);
        auto* memberList = reinterpret_cast<PlatformName*>(block + 1);
        auto* wwnList =
            reinterpret_cast<WWNBytes*>(reinterpret_cast<char*>(memberList) + memberBytes);
        block->members.members_val = memberList;
        block->wwns.wwns_val = wwnList;
        if (members > 0) {
            std::memcpy(memberList, reply.members.members_val, memberBytes);
        }
        for (unsigned int i = 0; i < members; ++i) {
            terminate(memberList[i].name);
        }
        if (wwns > 0) {
            std::memcpy(wwnList, reply.wwns.wwns_val, wwnBytes);
        }
        *result = block;
        return 0;
    });
}

int platGetInfo(SessionContext* ctx, int selector, int* value) {
    ClilibTrace trace("platGetInfo");
    if (ctx == nullptr || value == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    MSRequestArgs args = newRequest(1555);
    args.MSRequestArgs_u.value = selector;
    return exchange(ctx, args, [&](const ReplyArm& arm) {
        *value = arm.value;
        return 0;
    });
}

int platRegister(SessionContext* ctx, const PlatformAttributes* attributes) {
    ClilibTrace trace("platRegister");
    if (ctx == nullptr || attributes == nullptr ||
        (attributes->members.members_len > 0 && attributes->members.members_val == nullptr) ||
        (attributes->wwns.wwns_len > 0 && attributes->wwns.wwns_val == nullptr)) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    MSRequestArgs args = newRequest(640);
    PlatformAttributes& record = args.MSRequestArgs_u.attributes;
    record = *attributes;
    if (record.members.members_len == 0) {
        record.members.members_val = nullptr;
    }
    if (record.wwns.wwns_len == 0) {
        record.wwns.wwns_val = nullptr;
    }
    return exchange(ctx, args);
}

int platDeregister(SessionContext* ctx, const PlatformName* platform) {
    ClilibTrace trace("platDeregister");
    if (ctx == nullptr || platform == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    MSRequestArgs args = newRequest(896);
    args.MSRequestArgs_u.platformName = *platform;
    return exchange(ctx, args);
}

int platSetInfo(SessionContext* ctx, const PlatformSetArgs* args) {
    ClilibTrace trace("platSetInfo");
    if (ctx == nullptr || args == nullptr || !isPlatformSetCode(args->code)) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    Fabric_Connection_Impl_RPC* connection = nullptr;
    try {
        connection = getSessionRPCConnection(ctx);
    } catch (const ConnectionException&) {
        return REQ_ERR_NO_CONNECTION;
    }
    MSReply* reply = connection->rpcPlatSetInfo(args);
    returnSessionRPCConnection(connection, ctx);
    if (reply == nullptr) {
        return REQ_ERR_RPC_NO_REPLY;
    }
    const int status = reply->status;
    freeMSReply(reply);
    return status;
}
