#include "sim/ManagementProgram.h"

#include <cstring>

#include "remote_api.h"
#include "sim/Base64.h"
#include "sim/Credentials.h"
#include "sim/EventRequests.h"
#include "sim/FabricServices.h"
#include "sim/NameServer.h"
#include "sim/SecureLogin.h"
#include "sim/SecurityPolicies.h"
#include "sim/TransferRequests.h"
#include "sim/ZoningProcedures.h"
#include "sim/handlers/RequestHandlers.h"

namespace {

// Arguments decoded from a call; freed with their filter when done.
template <typename T> class DecodedArgs {
public:
    DecodedArgs(std::span<const char> bytes, xdrproc_t filter)
        : filter_(filter), ok_(decodeXdr(bytes, filter, &value_)) {}
    ~DecodedArgs() { xdr_free(filter_, reinterpret_cast<char*>(&value_)); }
    DecodedArgs(const DecodedArgs&) = delete;
    DecodedArgs& operator=(const DecodedArgs&) = delete;

    bool ok() const { return ok_; }
    T& value() { return value_; }

private:
    T value_{};
    xdrproc_t filter_;
    bool ok_;
};

const ProcedureResult kGarbageArguments{AcceptStatus::GarbageArguments, {}};

void copyWwn(unsigned char (&out)[8], const Wwn& wwn) {
    std::memcpy(out, wwn.data(), wwn.size());
}

void copyWwn(char (&out)[8], const Wwn& wwn) {
    std::memcpy(out, wwn.data(), wwn.size());
}

// --- Management requests (procedure 40), one handler per request code ---

using RequestHandler = void (*)(CallContext&, const MSRequestArgs&, MSReply&);

// 257 (GIEL): the fabric's interconnect elements, each switch with flag 1.
void listFabricElements(CallContext& ctx, const MSRequestArgs&, MSReply& reply) {
    const auto& switches = ctx.fabric.switches;
    auto& list = reply.body.MSReplyBody_u.elements;
    list.elements_len = static_cast<u_int>(switches.size());
    list.elements_val = ctx.arena.array<ElementEntry>(switches.size());
    for (std::size_t i = 0; i < switches.size(); ++i) {
        copyWwn(list.elements_val[i].name, switches[i].wwn);
        list.elements_val[i].value = 1;
    }
}

struct RequestEntry {
    std::int32_t code;
    RequestHandler handler;
};

const RequestEntry kManagementRequests[] = {
    {257, listFabricElements},           {1822, threxEventRegisterRequest},
    {1823, threxEventDeregisterRequest}, {1832, downloadStartRequest},
    {1833, downloadDataRequest},         {1834, downloadAbortRequest},
    {1835, downloadEndRequest},          {1836, uploadStartRequest},
    {1837, uploadDataRequest},           {1838, uploadAbortOrEndRequest},
    {1839, uploadAbortOrEndRequest},     {1842, serverDownloadRequest},
    {1844, downloadCompletionRequest},
};

// --- Procedures ---

ProcedureResult nullProcedure(CallContext&, std::span<const char>) {
    return {};
}

// The login by user name and password: Base64 of the password, ":", the
// user name and a NUL. A known user gets its access level, the proxy
// switch's name and a login number; anyone else access level -1.
ProcedureResult authenticate(CallContext& ctx, std::span<const char> args) {
    const auto text = decodeString(args, RM_LOGIN_TEXT_MAX);
    if (!text) {
        return kGarbageArguments;
    }
    AuthReply reply{};
    reply.accessLevel = -1;
    std::string login = decodeBase64(*text).value_or("");
    if (!login.empty() && login.back() == '\0') {
        login.pop_back();
    }
    // User names hold no ":", passwords may.
    const auto colon = login.rfind(':');
    if (colon != std::string::npos) {
        const std::string password = login.substr(0, colon);
        const std::string user = login.substr(colon + 1);
        for (const auto& account : ctx.fabric.users) {
            if (account.name == user && account.password == password) {
                reply.accessLevel = account.accessLevel;
                copyWwn(reply.wwn, ctx.proxy.wwn);
                reply.number = grantLogin(ctx.model, ctx.proxy, account.accessLevel);
            }
        }
    }
    return encodeResult(reinterpret_cast<xdrproc_t>(xdr_AuthReply), &reply);
}

// A proxy switch marked "zeroFabricWwn" answers an all-zero name, as a
// switch does while its fabric is still forming.
ProcedureResult getFabricWwn(CallContext& ctx, std::span<const char>) {
    WWNBytes wwn{};
    if (!ctx.proxy.source.value("zeroFabricWwn", false)) {
        copyWwn(wwn, ctx.fabric.wwn);
    }
    return encodeResult(reinterpret_cast<xdrproc_t>(xdr_WWNBytes), wwn);
}

ProcedureResult getSwitchName(CallContext& ctx, std::span<const char>) {
    WWNBytes wwn;
    copyWwn(wwn, ctx.proxy.wwn);
    return encodeResult(reinterpret_cast<xdrproc_t>(xdr_WWNBytes), wwn);
}

// A switch that reports no version, or one outside the fabric, answers -1.
ProcedureResult getFirmwareVersion(CallContext& ctx, std::span<const char> args) {
    WWNBytes name{};
    if (!decodeXdr(args, reinterpret_cast<xdrproc_t>(xdr_WWNBytes), name)) {
        return kGarbageArguments;
    }
    Wwn wwn;
    std::memcpy(wwn.data(), name, wwn.size());
    FirmwareVersionReply reply{};
    const SwitchModel* sw = ctx.fabric.findSwitch(wwn);
    if (sw != nullptr && sw->firmware) {
        copyFixedText(reply.versionText, *sw->firmware);
    } else {
        reply.status = -1;
    }
    return encodeResult(reinterpret_cast<xdrproc_t>(xdr_FirmwareVersionReply), &reply);
}

ProcedureResult managementRequest(CallContext& ctx, std::span<const char> args) {
    DecodedArgs<MSRequestArgs> request(args, reinterpret_cast<xdrproc_t>(xdr_MSRequestArgs));
    if (!request.ok()) {
        return kGarbageArguments;
    }
    MSReply reply{};
    reply.message = ctx.arena.text("");
    reply.body.command = request.value().command;
    RequestHandler handler = nullptr;
    for (const auto& entry : kManagementRequests) {
        if (entry.code == request.value().command) {
            handler = entry.handler;
        }
    }
    if (handler == nullptr) {
        handler = findExtraRequestHandler(request.value().command);
    }
    if (handler == nullptr && answerFabricServiceRequest(ctx, request.value(), reply)) {
        // answered by the fabric services
    } else if (handler == nullptr) {
        reply.status = -1;
        reply.message = ctx.arena.text("request not supported");
    } else {
        handler(ctx, request.value(), reply);
    }
    return encodeResult(reinterpret_cast<xdrproc_t>(xdr_MSReply), &reply);
}

struct ProcedureEntry {
    std::uint32_t procedure;
    ProcedureHandler handler;
};

const ProcedureEntry kProcedures[] = {
    {0, nullProcedure},
    {RPC_AUTHENTICATE, authenticate},
    {RPC_GET_FABRIC_WWN, getFabricWwn},
    {RPC_GET_SWITCH_NAME, getSwitchName},
    {RPC_GET_FIRMWARE_VERSION, getFirmwareVersion},
    {RPC_MS_SVR_REQUEST, managementRequest},
    {RPC_NS_SVR_REQUEST, nameServerRequest},
    {RPC_MPS_REQUEST, securityPolicyRequest},
    {RPC_PLAT_SET_INFO, platformSettings},
    {RPC_SECURE_LOGIN, secureLogin},
    {REVNT_SVR_CREATE, eventServerCreate},
    {REVNT_SVR_DELETE, eventServerDelete},
};

// --- Injected status replies ---

template <typename Reply>
std::optional<Bytes> encodeStatusReply(bool_t (*filter)(XDR*, Reply*), Reply& reply) {
    return encodeXdr(reinterpret_cast<xdrproc_t>(filter), &reply);
}

// The procedure's reply carrying `status` and nothing else of note, or
// nothing when the reply has no status field.
std::optional<Bytes> statusOnlyReply(std::uint32_t procedure, std::int32_t status,
                                     std::int32_t code) {
    char message[] = "injected fault";
    char empty[] = "";
    switch (procedure) {
    case RPC_AUTHENTICATE: {
        // The access level stands for the status: below 0 refuses the login.
        AuthReply reply{};
        reply.accessLevel = status;
        return encodeStatusReply(xdr_AuthReply, reply);
    }
    case RPC_GET_FIRMWARE_VERSION: {
        FirmwareVersionReply reply{};
        reply.status = status;
        return encodeStatusReply(xdr_FirmwareVersionReply, reply);
    }
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
    case 17:
    case 18:
    case 19:
    case 22:
    case 23:
    case 24:
    case 25:
    case 30:
    case 31:
    case 120:
    case 121: {
        ZoningStatusReply reply{status, message};
        return encodeStatusReply(xdr_ZoningStatusReply, reply);
    }
    case 15:
    case 16: {
        ZoningNamesReply reply{};
        reply.status = status;
        reply.message = message;
        return encodeStatusReply(xdr_ZoningNamesReply, reply);
    }
    case 20:
    case 29: {
        ZoningTypeReply reply{0, status, message};
        return encodeStatusReply(xdr_ZoningTypeReply, reply);
    }
    case 21:
    case 27: {
        ZoningTextReply reply{empty, status, message};
        return encodeStatusReply(xdr_ZoningTextReply, reply);
    }
    case 26: {
        ZoningValidateReply reply{empty, empty, empty, 0, status, message};
        return encodeStatusReply(xdr_ZoningValidateReply, reply);
    }
    case RPC_MS_SVR_REQUEST:
    case 127: {
        MSReply reply{};
        reply.status = status;
        reply.message = message;
        reply.body.command = code;
        return encodeStatusReply(xdr_MSReply, reply);
    }
    case 60: {
        NSReply reply{};
        reply.status = status;
        reply.message = message;
        reply.body.queryCode = code;
        return encodeStatusReply(xdr_NSReply, reply);
    }
    case 125:
    case 126: {
        MPSReply reply{};
        reply.status = status;
        reply.message = message;
        reply.body.requestType = code;
        return encodeStatusReply(xdr_MPSReply, reply);
    }
    default:
        return std::nullopt;
    }
}

} // namespace

ProcedureResult encodeResult(xdrproc_t filter, void* record) {
    auto bytes = encodeXdr(filter, record);
    if (!bytes) {
        return {AcceptStatus::SystemError, {}};
    }
    return {AcceptStatus::Success, std::move(*bytes)};
}

bool procedureHasRequestCode(std::uint32_t procedure) {
    return procedure == 15 || procedure == 40 || procedure == 60 || procedure == 125 ||
           procedure == 126 || procedure == 127;
}

RpcOutcome ManagementProgram::handle(const std::string& address, const RpcCall& call,
                                     std::uint64_t connection) {
    if (call.program != REMOTE_MGMT_PROG) {
        return {RpcOutcome::Action::Reply,
                acceptedReply(call.xid, AcceptStatus::ProgramUnavailable)};
    }
    if (call.version != REMOTE_MGMT_VERS) {
        return {RpcOutcome::Action::Reply,
                programMismatchReply(call.xid, REMOTE_MGMT_VERS, REMOTE_MGMT_VERS)};
    }
    std::optional<std::int32_t> code;
    if (procedureHasRequestCode(call.procedure)) {
        code = firstUnit(call.args);
    }
    state_.counters.count(address, call.procedure, code);
    if (proxyAway(state_, address)) {
        return {RpcOutcome::Action::Close, {}};
    }
    if (auto refusal = refuseCredential(state_, address, call)) {
        return {RpcOutcome::Action::Reply, authErrorReply(call.xid, *refusal)};
    }
    if (auto fault = state_.faults.take(address, call.procedure, code)) {
        return applyFault(*fault, address, call, code, connection);
    }
    ProcedureResult result = run(address, call, connection);
    return {RpcOutcome::Action::Reply, acceptedReply(call.xid, result.status, result.result)};
}

void ManagementProgram::connectionClosed(std::uint64_t connection) {
    std::scoped_lock lock(state_.modelMutex);
    for (auto& fabric : state_.model.fabrics()) {
        fabric.zoning.connectionClosed(connection);
    }
}

ProcedureResult ManagementProgram::run(const std::string& address, const RpcCall& call,
                                       std::uint64_t connection) {
    ProcedureHandler handler = nullptr;
    for (const auto& entry : kProcedures) {
        if (entry.procedure == call.procedure) {
            handler = entry.handler;
        }
    }
    if (handler == nullptr) {
        handler = findZoningProcedure(call.procedure);
    }
    if (handler == nullptr) {
        return {AcceptStatus::ProcedureUnavailable, {}};
    }
    std::scoped_lock lock(state_.modelMutex);
    const auto location = state_.model.proxyAt(address);
    if (!location) {
        return {AcceptStatus::SystemError, {}};
    }
    auto& fabric = state_.model.fabrics()[location->fabric];
    CallContext ctx{address, state_.model, fabric, fabric.switches[location->switchIndex], {}};
    ctx.procedure = call.procedure;
    ctx.connection = connection;
    return handler(ctx, call.args);
}

RpcOutcome ManagementProgram::applyFault(const Fault& fault, const std::string& address,
                                         const RpcCall& call, std::optional<std::int32_t> code,
                                         std::uint64_t connection) {
    if (fault.delay.count() > 0 && state_.stop.waitFor(fault.delay)) {
        return {RpcOutcome::Action::Close, {}};
    }
    switch (fault.kind) {
    case FaultKind::NoReply:
        return {RpcOutcome::Action::NoReply, {}};
    case FaultKind::Close:
        return {RpcOutcome::Action::Close, {}};
    case FaultKind::LeaveJoin:
        leaveForAWhile(state_, fault, address);
        return {RpcOutcome::Action::Close, {}};
    case FaultKind::Status: {
        auto reply = statusOnlyReply(call.procedure, fault.status, code.value_or(0));
        if (!reply) {
            return {RpcOutcome::Action::Reply, acceptedReply(call.xid, AcceptStatus::SystemError)};
        }
        return {RpcOutcome::Action::Reply, acceptedReply(call.xid, AcceptStatus::Success, *reply)};
    }
    case FaultKind::Malformed: {
        // The real answer cut short in the middle of a unit; an empty one
        // becomes a reply whose header does not decode.
        ProcedureResult result = run(address, call, connection);
        if (result.status != AcceptStatus::Success || result.result.size() < 4) {
            return {RpcOutcome::Action::Reply, undecodableReply(call.xid)};
        }
        result.result.resize(result.result.size() - 2);
        return {RpcOutcome::Action::Reply,
                acceptedReply(call.xid, AcceptStatus::Success, result.result)};
    }
    case FaultKind::Bytes:
        return {RpcOutcome::Action::Reply,
                acceptedReply(call.xid, AcceptStatus::Success, fault.replyBytes)};
    case FaultKind::Delay:
        break;
    }
    ProcedureResult result = run(address, call, connection);
    return {RpcOutcome::Action::Reply, acceptedReply(call.xid, result.status, result.result)};
}

bool proxyAway(SimulatorState& state, const std::string& address) {
    std::scoped_lock lock(state.modelMutex);
    state.model.rejoinDue(std::chrono::steady_clock::now());
    return state.model.addressAway(address);
}

void leaveForAWhile(SimulatorState& state, const Fault& fault, const std::string& address) {
    std::scoped_lock lock(state.modelMutex);
    Wwn leaving{};
    if (!fault.leavingSwitch.empty()) {
        leaving = parseWwn(fault.leavingSwitch);
    } else if (const auto location = state.model.proxyAt(address)) {
        leaving = state.model.fabrics()[location->fabric].switches[location->switchIndex].wwn;
    } else {
        return;
    }
    state.model.leaveUntil(leaving, std::chrono::steady_clock::now() + fault.absence);
}
