#include "sim/SecurityPolicies.h"

#include <cstring>
#include <string>

#include "sim/ServiceData.h"

using nlohmann::json;

namespace {

constexpr int kRefused = -1;

// A char<> field as text, without the NUL that the library sends with it.
std::string fieldText(const char* data, unsigned int length) {
    return data == nullptr ? std::string() : std::string(data, strnlen(data, length));
}

json::iterator findPolicy(json& set, const std::string& name) {
    for (auto it = set.begin(); it != set.end(); ++it) {
        if ((*it).at(0).get<std::string>() == name) {
            return it;
        }
    }
    return set.end();
}

// Members are a text of names separated by semicolons.
std::string addMembers(const std::string& members, const std::string& added) {
    if (members.empty()) {
        return added;
    }
    return added.empty() ? members : members + ";" + added;
}

std::string removeMembers(const std::string& members, const std::string& removed) {
    std::string result;
    std::size_t start = 0;
    while (start <= members.size()) {
        const std::size_t end = std::min(members.find(';', start), members.size());
        const std::string member = members.substr(start, end - start);
        if (!member.empty() &&
            (";" + removed + ";").find(";" + member + ";") == std::string::npos) {
            result = addMembers(result, member);
        }
        start = end + 1;
    }
    return result;
}

std::size_t countMembers(const std::string& members) {
    std::size_t count = 0;
    std::size_t start = 0;
    while (start <= members.size()) {
        const std::size_t end = std::min(members.find(';', start), members.size());
        count += end > start ? 1 : 0;
        start = end + 1;
    }
    return count;
}

// Handles one request; the status of the reply.
int answer(CallContext& ctx, const MPSRequestArgs& request, MPSReply& reply) {
    json& security = ctx.fabric.source["security"];
    if (!security.is_object()) {
        security = json::object();
    }
    if (!security.contains("defined")) {
        security["defined"] = json::array();
    }
    if (!security.contains("active")) {
        security["active"] = json::array();
    }
    const bool inTransaction = security.value("transaction", false);
    auto& arm = reply.body.MPSReplyBody_u;
    switch (request.requestType) {
    case 0: {
        const std::string pem = ctx.proxy.source.value("certificate", "");
        if (pem.empty()) {
            return kRefused;
        }
        char* text = ctx.arena.text(pem);
        arm.certificate.certificate = {static_cast<u_int>(pem.size()), text};
        arm.certificate.counter = security.value("counter", 0);
        return 0;
    }
    case 2:
        arm.number = security.value("query2", 0u);
        return 0;
    case 256:
        arm.number = security.value("secureMode", 0u);
        return 0;
    case 3:
    case 4: {
        const auto& secret = request.MPSRequestArgs_u.secret;
        security["adminPasswords"][std::to_string(request.requestType)] =
            std::string(secret.secret_val, secret.secret_len);
        return 0;
    }
    case 257:
        if (inTransaction) {
            return kRefused;
        }
        security["transaction"] = true;
        security["definedAtStart"] = security["defined"];
        return 0;
    case 260:
    case 261:
        if (!inTransaction) {
            return kRefused;
        }
        if (request.requestType == 261) {
            security["defined"] = security["definedAtStart"];
        }
        security["transaction"] = false;
        security.erase("definedAtStart");
        return 0;
    case 262:
        if (!inTransaction) {
            return kRefused;
        }
        {
            // The primary FCS switch's piece stays first in the active set.
            json active = json::array();
            for (const auto& policy : security["active"]) {
                if (policy.at(0).get<std::string>() == "PRIMARY") {
                    active.push_back(policy);
                }
            }
            for (const auto& policy : security["defined"]) {
                active.push_back(policy);
            }
            security["active"] = active;
        }
        return 0;
    case 263:
        copyFixedText(arm.text, security.value("versionStamp", ""));
        return 0;
    case 272:
    case 273:
    case 274:
    case 275: {
        if (!inTransaction) {
            return kRefused;
        }
        const auto& policy = request.MPSRequestArgs_u.policy;
        const std::string name =
            fieldText(policy.policyName.policyName_val, policy.policyName.policyName_len);
        const std::string members =
            fieldText(policy.memberText.memberText_val, policy.memberText.memberText_len);
        json& defined = security["defined"];
        auto it = findPolicy(defined, name);
        if (request.requestType == 272) {
            if (it != defined.end() || name.empty()) {
                return kRefused;
            }
            defined.push_back(json::array({name, members}));
            return 0;
        }
        if (it == defined.end()) {
            return kRefused;
        }
        if (request.requestType == 273) {
            defined.erase(it);
        } else if (request.requestType == 274) {
            (*it)[1] = addMembers((*it)[1].get<std::string>(), members);
        } else {
            const std::string kept = removeMembers((*it)[1].get<std::string>(), members);
            // Every member named must be one of the policy's.
            if (countMembers(kept) + countMembers(members) !=
                countMembers((*it)[1].get<std::string>())) {
                return kRefused;
            }
            (*it)[1] = kept;
        }
        return 0;
    }
    case 277: {
        const json& set = security[request.MPSRequestArgs_u.selector == 0 ? "defined" : "active"];
        std::string text;
        for (const auto& policy : set) {
            text += policy.at(0).get<std::string>();
            text.push_back('\0');
            const std::string members = policy.at(1).get<std::string>();
            text += members.empty() ? std::string("EMPTY") : members;
            text.push_back('\0');
        }
        auto* data = text.empty() ? nullptr : ctx.arena.array<char>(text.size());
        if (data != nullptr) {
            std::memcpy(data, text.data(), text.size());
        }
        arm.policy.policyName = {0, nullptr};
        arm.policy.memberText = {static_cast<u_int>(text.size()), data};
        return 0;
    }
    case 278: {
        const json status = security.value("secDbStatus", json::array({0, 0}));
        arm.pair.first = status.at(0).get<int>();
        arm.pair.second = status.at(1).get<int>();
        return 0;
    }
    default:
        return kRefused;
    }
}

} // namespace

ProcedureResult securityPolicyRequest(CallContext& ctx, std::span<const char> args) {
    MPSRequestArgs request;
    std::memset(&request, 0, sizeof(request));
    if (!decodeXdr(args, reinterpret_cast<xdrproc_t>(xdr_MPSRequestArgs), &request)) {
        return {AcceptStatus::GarbageArguments, {}};
    }
    MPSReply reply{};
    reply.message = ctx.arena.text("");
    reply.body.requestType = request.requestType;
    int status = kRefused;
    try {
        status = answer(ctx, request, reply);
    } catch (const std::exception&) {
        status = kRefused; // a fabric file value of the wrong kind
    }
    if (status != 0) {
        reply = MPSReply{};
        reply.status = status;
        reply.message = ctx.arena.text("request refused");
        reply.body.requestType = 257; // nothing follows the envelope
    }
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_MPSRequestArgs), reinterpret_cast<char*>(&request));
    return encodeResult(reinterpret_cast<xdrproc_t>(xdr_MPSReply), &reply);
}
