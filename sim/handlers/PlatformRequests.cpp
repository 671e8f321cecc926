// Platform requests: registration, the registered names, attributes and
// settings of the fabric's platforms.
#include <algorithm>
#include <cstring>
#include <string>

#include "sim/RpcMessage.h"
#include "sim/handlers/RecordFields.h"
#include "sim/handlers/RequestHandlers.h"

namespace {

using nlohmann::json;

// A platform name is its length word and that many bytes of its text.
std::string platformText(const PlatformName& name) {
    const auto length =
        static_cast<std::size_t>(std::clamp(name.length, 0, static_cast<int>(sizeof(name.name))));
    return std::string(name.name, length);
}

json& platforms(FabricEntry& fabric) {
    if (!fabric.source.contains("platforms")) {
        fabric.source["platforms"] = json::array();
    }
    return fabric.source["platforms"];
}

json* findPlatform(FabricEntry& fabric, const PlatformName& name) {
    for (json& platform : platforms(fabric)) {
        if (platform.value("name", std::string()) == platformText(name)) {
            return &platform;
        }
    }
    return nullptr;
}

void fillName(PlatformName& out, const json& platform) {
    const std::string name = platform.value("name", std::string());
    copyWholeFixedText(out.name, name);
    out.length = static_cast<int>(std::min(name.size(), sizeof(out.name)));
}

// 418: the names of the registered platforms.
void listPlatforms(CallContext& ctx, const MSRequestArgs&, MSReply& reply) {
    const json& list = platforms(ctx.fabric);
    auto& names = reply.body.MSReplyBody_u.platformNames;
    names.platformNames_len = static_cast<u_int>(list.size());
    names.platformNames_val = ctx.arena.array<PlatformName>(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        fillName(names.platformNames_val[i], list[i]);
    }
}

// 404: the attributes of one platform.
void getPlatform(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const json* platform = findPlatform(ctx.fabric, request.MSRequestArgs_u.platform);
    if (platform == nullptr) {
        failRequest(ctx, reply, "no such platform");
        return;
    }
    // The name, the type, the address count and addresses, the node count
    // and the nodes' world wide names.
    PlatformAttributes& record = reply.body.MSReplyBody_u.platform;
    fillName(record.platform, *platform);
    record.value1 = platform->value("value1", 0);
    const json members = platform->value("members", json::array());
    record.value2 = static_cast<int>(members.size());
    record.members.members_len = static_cast<u_int>(members.size());
    record.members.members_val = ctx.arena.array<PlatformName>(members.size());
    for (std::size_t i = 0; i < members.size(); ++i) {
        fillName(record.members.members_val[i], members[i]);
    }
    const json wwns = platform->value("wwns", json::array());
    record.value3 = static_cast<int>(wwns.size());
    record.wwns.wwns_len = static_cast<u_int>(wwns.size());
    record.wwns.wwns_val = ctx.arena.array<WWNBytes>(wwns.size());
    for (std::size_t i = 0; i < wwns.size(); ++i) {
        wwnBytes(wwns[i], record.wwns.wwns_val[i]);
    }
}

// 640: registers a platform (replacing one of the same name).
void registerPlatform(CallContext& ctx, const MSRequestArgs& request, MSReply&) {
    const PlatformAttributes& args = request.MSRequestArgs_u.attributes;
    // The lists' own lengths count the addresses and nodes.
    json platform = {{"name", platformText(args.platform)},
                     {"value1", args.value1},
                     {"members", json::array()},
                     {"wwns", json::array()}};
    for (u_int i = 0; i < args.members.members_len; ++i) {
        platform["members"].push_back({{"name", platformText(args.members.members_val[i])}});
    }
    for (u_int i = 0; i < args.wwns.wwns_len; ++i) {
        platform["wwns"].push_back(wwnText(args.wwns.wwns_val[i]));
    }
    if (json* existing = findPlatform(ctx.fabric, args.platform)) {
        *existing = std::move(platform);
    } else {
        platforms(ctx.fabric).push_back(std::move(platform));
    }
}

// 896: removes a registration.
void deregisterPlatform(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    json* platform = findPlatform(ctx.fabric, request.MSRequestArgs_u.platformName);
    if (platform == nullptr) {
        failRequest(ctx, reply, "no such platform");
        return;
    }
    json& list = platforms(ctx.fabric);
    list.erase(list.begin() + (platform - &list[0]));
}

// 1555: a platform information value by selector.
void getPlatformInfo(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const json info = ctx.fabric.source.value("platformInfo", json::object());
    const std::string selector = std::to_string(request.MSRequestArgs_u.value);
    if (!info.contains(selector)) {
        failRequest(ctx, reply, "no such platform information");
        return;
    }
    reply.body.MSReplyBody_u.value = info[selector].get<int>();
}

const ExtraRequestEntry kPlatformRequests[] = {
    {404, getPlatform},        {418, listPlatforms},    {640, registerPlatform},
    {896, deregisterPlatform}, {1555, getPlatformInfo},
};

} // namespace

std::span<const ExtraRequestEntry> platformRequestHandlers() {
    return kPlatformRequests;
}

// Procedure 127. 657 adds a node's world wide name, 658 sets a platform's
// type, 659 adds a management address (the second name), 913 removes a
// world wide name from every platform, 914 removes a management address,
// 915 removes a platform; 0 and 1 are accepted and change nothing.
ProcedureResult platformSettings(CallContext& ctx, std::span<const char> args) {
    PlatformSetArgs request{};
    if (!decodeXdr(args, reinterpret_cast<xdrproc_t>(xdr_PlatformSetArgs), &request)) {
        return {AcceptStatus::GarbageArguments, {}};
    }
    MSReply reply{};
    reply.message = ctx.arena.text("");
    reply.body.command = request.code;
    const auto& arm = request.PlatformSetArgs_u;
    json* platform = nullptr;
    switch (request.code) {
    case 657:
        platform = findPlatform(ctx.fabric, arm.platformWwn.platform);
        if (platform != nullptr) {
            (*platform)["wwns"].push_back(
                wwnText(reinterpret_cast<const unsigned char*>(arm.platformWwn.wwn)));
        }
        break;
    case 658:
        platform = findPlatform(ctx.fabric, arm.platformInt.platform);
        if (platform != nullptr) {
            (*platform)["value1"] = arm.platformInt.value;
        }
        break;
    case 659:
        platform = findPlatform(ctx.fabric, arm.platformPair.first);
        if (platform != nullptr) {
            (*platform)["members"].push_back({{"name", platformText(arm.platformPair.second)}});
        }
        break;
    case 914:
        platform = findPlatform(ctx.fabric, arm.platformPair.first);
        if (platform != nullptr) {
            json& members = (*platform)["members"];
            const std::string address = platformText(arm.platformPair.second);
            for (auto it = members.begin(); it != members.end(); ++it) {
                if (it->value("name", std::string()) == address) {
                    members.erase(it);
                    break;
                }
            }
        }
        break;
    case 913: {
        const std::string wwn = wwnText(arm.wwn);
        for (json& each : platforms(ctx.fabric)) {
            json& wwns = each["wwns"];
            for (auto it = wwns.begin(); it != wwns.end();) {
                it = *it == wwn ? wwns.erase(it) : it + 1;
            }
        }
        platform = &ctx.fabric.source;
        break;
    }
    case 915:
        platform = findPlatform(ctx.fabric, arm.platform);
        if (platform != nullptr) {
            json& list = platforms(ctx.fabric);
            list.erase(list.begin() + (platform - &list[0]));
        }
        break;
    default:
        platform = &ctx.fabric.source; // nothing to change
        break;
    }
    if (platform == nullptr) {
        reply.status = -1;
        reply.message = ctx.arena.text("no such platform");
    }
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_PlatformSetArgs), reinterpret_cast<char*>(&request));
    return encodeResult(reinterpret_cast<xdrproc_t>(xdr_MSReply), &reply);
}
