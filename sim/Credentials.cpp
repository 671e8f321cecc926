#include "sim/Credentials.h"

#include <mutex>

#include "remote_api.h"

namespace {

constexpr std::uint32_t kAuthNone = 0;
constexpr std::uint32_t kAuthUnix = 1;
constexpr std::uint32_t kBadCredential = 1; // AUTH_BADCRED
constexpr std::uint32_t kTooWeak = 5;       // AUTH_TOOWEAK
constexpr unsigned kMachineNameMax = 255;

struct UnixCredential {
    std::string machineName;
    std::uint32_t uid = 0;
};

std::optional<UnixCredential> decodeUnixCredential(std::span<const char> body) {
    authunix_parms parms{};
    if (!decodeXdr(body, reinterpret_cast<xdrproc_t>(xdr_authunix_parms), &parms)) {
        xdr_free(reinterpret_cast<xdrproc_t>(xdr_authunix_parms), reinterpret_cast<char*>(&parms));
        return std::nullopt;
    }
    UnixCredential credential;
    if (parms.aup_machname != nullptr) {
        credential.machineName = parms.aup_machname;
    }
    credential.uid = static_cast<std::uint32_t>(parms.aup_uid);
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_authunix_parms), reinterpret_cast<char*>(&parms));
    if (credential.machineName.size() > kMachineNameMax) {
        return std::nullopt;
    }
    return credential;
}

// True when the credential names a login that `proxy` granted.
bool granted(const FabricModel& model, const SwitchModel& proxy, const UnixCredential& credential) {
    const std::string& name = credential.machineName;
    const auto last = name.rfind(';');
    if (last == std::string::npos || last == 0) {
        return false;
    }
    const auto middle = name.rfind(';', last - 1);
    if (middle == std::string::npos) {
        return false;
    }
    if (name.substr(middle + 1, last - middle - 1) != formatWwn(proxy.wwn)) {
        return false;
    }
    unsigned long number = 0;
    try {
        std::size_t used = 0;
        const std::string digits = name.substr(last + 1);
        number = std::stoul(digits, &used);
        if (used != digits.size()) {
            return false;
        }
    } catch (const std::exception&) {
        return false;
    }
    const auto login = model.grantedLogins.find(static_cast<unsigned>(number));
    return login != model.grantedLogins.end() && login->second.proxy == proxy.wwn &&
           static_cast<std::uint32_t>(login->second.accessLevel) == credential.uid;
}

bool isLoginProcedure(std::uint32_t procedure) {
    return procedure == 0 || procedure == RPC_AUTHENTICATE || procedure == RPC_SECURE_LOGIN;
}

} // namespace

unsigned grantLogin(FabricModel& model, const SwitchModel& proxy, int accessLevel) {
    const unsigned number = ++model.loginCount;
    model.grantedLogins[number] = GrantedLogin{proxy.wwn, accessLevel};
    return number;
}

std::optional<std::uint32_t> refuseCredential(SimulatorState& state, const std::string& address,
                                              const RpcCall& call) {
    std::scoped_lock lock(state.modelMutex);
    const auto location = state.model.proxyAt(address);
    if (!location) {
        return std::nullopt;
    }
    const FabricEntry& fabric = state.model.fabrics()[location->fabric];
    const std::string mode = fabric.source.is_object() && fabric.source.contains("credentials") &&
                                     fabric.source["credentials"].is_string()
                                 ? fabric.source["credentials"].get<std::string>()
                                 : std::string();
    if (mode != "checked" && mode != "required") {
        return std::nullopt;
    }
    if (isLoginProcedure(call.procedure)) {
        return std::nullopt; // whatever a client held before, it may log in
    }
    if (call.credentialFlavor == kAuthNone) {
        return mode == "required" ? std::optional<std::uint32_t>(kTooWeak) : std::nullopt;
    }
    if (call.credentialFlavor != kAuthUnix) {
        return kBadCredential;
    }
    const auto credential = decodeUnixCredential(call.credential);
    if (!credential || !granted(state.model, fabric.switches[location->switchIndex], *credential)) {
        return kBadCredential;
    }
    return std::nullopt;
}
