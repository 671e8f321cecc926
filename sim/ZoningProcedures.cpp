#include "sim/ZoningProcedures.h"

#include <regex>
#include <vector>

#include "remote_api.h"
#include "sim/ZoningDatabase.h"

namespace {

const ProcedureResult kGarbageArguments{AcceptStatus::GarbageArguments, {}};

// A decoded argument record, freed with its filter when it goes.
template <typename T> class Arguments {
public:
    Arguments(std::span<const char> bytes, bool_t (*filter)(XDR*, T*))
        : filter_(reinterpret_cast<xdrproc_t>(filter)), ok_(decodeXdr(bytes, filter_, &value_)) {}
    ~Arguments() { xdr_free(filter_, reinterpret_cast<char*>(&value_)); }
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;

    bool ok() const { return ok_; }
    const T& operator*() const { return value_; }
    const T* operator->() const { return &value_; }

private:
    T value_{};
    xdrproc_t filter_;
    bool ok_;
};

std::string text(const char* value) {
    return value == nullptr ? std::string() : std::string(value);
}

char* messageFor(CallContext& ctx, int status) {
    return ctx.arena.text(status == 0 ? "" : "zoning request refused");
}

ProcedureResult statusReply(CallContext& ctx, int status) {
    ZoningStatusReply reply{status, messageFor(ctx, status)};
    return encodeResult(reinterpret_cast<xdrproc_t>(xdr_ZoningStatusReply), &reply);
}

ProcedureResult namesReply(CallContext& ctx, int status, const std::vector<std::string>& names) {
    ZoningNamesReply reply{};
    reply.status = status;
    reply.message = messageFor(ctx, status);
    reply.names.names_len = static_cast<u_int>(names.size());
    reply.names.names_val = ctx.arena.array<NameText>(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        reply.names.names_val[i] = ctx.arena.text(names[i]);
    }
    return encodeResult(reinterpret_cast<xdrproc_t>(xdr_ZoningNamesReply), &reply);
}

ProcedureResult typeReply(CallContext& ctx, int status, int type) {
    ZoningTypeReply reply{status == 0 ? type : 0, status, messageFor(ctx, status)};
    return encodeResult(reinterpret_cast<xdrproc_t>(xdr_ZoningTypeReply), &reply);
}

ProcedureResult textReply(CallContext& ctx, int status, const std::string& value) {
    ZoningTextReply reply{ctx.arena.text(value), status, messageFor(ctx, status)};
    return encodeResult(reinterpret_cast<xdrproc_t>(xdr_ZoningTextReply), &reply);
}

ZoningDatabase& zoningOf(CallContext& ctx) {
    return ctx.fabric.zoning;
}

// --- Procedures ---

// 10, 11, 30, 31: create an object or add members, from either request form.
template <typename Args, bool_t (*Filter)(XDR*, Args*), bool Create>
ProcedureResult createOrAdd(CallContext& ctx, std::span<const char> bytes) {
    Arguments<Args> args(bytes, Filter);
    if (!args.ok()) {
        return kGarbageArguments;
    }
    const std::string name = text(args->objectName);
    const std::string members = text(args->memberText);
    const int status =
        Create ? zoningOf(ctx).create(ctx.connection, name, args->objectType, members)
               : zoningOf(ctx).addMembers(ctx.connection, name, args->objectType, members);
    return statusReply(ctx, status);
}

ProcedureResult removeMember(CallContext& ctx, std::span<const char> bytes) {
    Arguments<ZoningObjectArgs> args(bytes, xdr_ZoningObjectArgs);
    if (!args.ok()) {
        return kGarbageArguments;
    }
    return statusReply(ctx, zoningOf(ctx).removeMember(ctx.connection, text(args->objectName),
                                                       args->objectType, text(args->memberText)));
}

ProcedureResult deleteObject(CallContext& ctx, std::span<const char> bytes) {
    Arguments<ZoningObjectArgs> args(bytes, xdr_ZoningObjectArgs);
    if (!args.ok()) {
        return kGarbageArguments;
    }
    return statusReply(
        ctx, zoningOf(ctx).remove(ctx.connection, text(args->objectName), args->objectType));
}

ProcedureResult objectExists(CallContext& ctx, std::span<const char> bytes) {
    Arguments<ZoningObjectArgs> args(bytes, xdr_ZoningObjectArgs);
    if (!args.ok()) {
        return kGarbageArguments;
    }
    return statusReply(
        ctx, zoningOf(ctx).exists(ctx.connection, text(args->objectName), args->objectType));
}

ProcedureResult objectNames(CallContext& ctx, std::span<const char> bytes) {
    int type = 0;
    if (!decodeXdr(bytes, reinterpret_cast<xdrproc_t>(xdr_int), &type)) {
        return kGarbageArguments;
    }
    std::vector<std::string> names;
    const int status = zoningOf(ctx).names(ctx.connection, type, names);
    return namesReply(ctx, status, names);
}

ProcedureResult objectMembers(CallContext& ctx, std::span<const char> bytes) {
    Arguments<ZoningObjectArgs> args(bytes, xdr_ZoningObjectArgs);
    if (!args.ok()) {
        return kGarbageArguments;
    }
    std::vector<std::string> members;
    const int status =
        zoningOf(ctx).members(ctx.connection, text(args->objectName), args->objectType, members);
    return namesReply(ctx, status, members);
}

ProcedureResult activate(CallContext& ctx, std::span<const char> bytes) {
    const auto name = decodeString(bytes, RM_NAME_MAX);
    if (!name) {
        return kGarbageArguments;
    }
    return statusReply(ctx, zoningOf(ctx).activate(ctx.connection, *name));
}

ProcedureResult deactivate(CallContext& ctx, std::span<const char>) {
    return statusReply(ctx, zoningOf(ctx).deactivate());
}

ProcedureResult clearDefined(CallContext& ctx, std::span<const char>) {
    return statusReply(ctx, zoningOf(ctx).clear(ctx.connection));
}

// 20 asks the caller's view of the defined database, 29 the effective
// configuration.
template <bool Active> ProcedureResult objectType(CallContext& ctx, std::span<const char> bytes) {
    const auto name = decodeString(bytes, RM_NAME_MAX);
    if (!name) {
        return kGarbageArguments;
    }
    int type = 0;
    const int status = Active ? zoningOf(ctx).activeType(*name, type)
                              : zoningOf(ctx).definedType(ctx.connection, *name, type);
    return typeReply(ctx, status, type);
}

ProcedureResult activeConfiguration(CallContext& ctx, std::span<const char>) {
    std::string name;
    const int status = zoningOf(ctx).activeZoneSetName(name);
    return textReply(ctx, status, name);
}

ProcedureResult saveDefined(CallContext& ctx, std::span<const char>) {
    return statusReply(ctx, zoningOf(ctx).save());
}

ProcedureResult transactionStart(CallContext& ctx, std::span<const char>) {
    return statusReply(ctx, zoningOf(ctx).startTransaction(ctx.connection));
}

ProcedureResult transactionCommit(CallContext& ctx, std::span<const char>) {
    return statusReply(ctx, zoningOf(ctx).commit(ctx.connection));
}

ProcedureResult transactionRollback(CallContext& ctx, std::span<const char>) {
    return statusReply(ctx, zoningOf(ctx).rollback(ctx.connection));
}

ProcedureResult validateDefined(CallContext& ctx, std::span<const char>) {
    ValidationFailure failure;
    const int status = zoningOf(ctx).validate(ctx.connection, failure);
    ZoningValidateReply reply{ctx.arena.text(failure.zoneSet),
                              ctx.arena.text(failure.zone),
                              ctx.arena.text(failure.member),
                              status == 0 ? 0 : 1,
                              status,
                              messageFor(ctx, status)};
    return encodeResult(reinterpret_cast<xdrproc_t>(xdr_ZoningValidateReply), &reply);
}

ProcedureResult activeDatabase(CallContext& ctx, std::span<const char>) {
    return textReply(ctx, 0, zoningOf(ctx).activeDatabaseText());
}

// The version (major, minor) from which a procedure is offered, and the one
// from which it is gone.
struct Offer {
    std::uint32_t procedure;
    ProcedureHandler handler;
    FirmwareLevel from;
    std::optional<FirmwareLevel> until;
};

constexpr FirmwareLevel kAny{0, 0};
constexpr FirmwareLevel k2_3{2, 3};
constexpr FirmwareLevel k2_6{2, 6};
constexpr FirmwareLevel k4_0{4, 0};
constexpr FirmwareLevel k4_1{4, 1};

const Offer kOffers[] = {
    {10, createOrAdd<ZoningObjectArgs, xdr_ZoningObjectArgs, true>, kAny, {}},
    {11, createOrAdd<ZoningObjectArgs, xdr_ZoningObjectArgs, false>, kAny, {}},
    {12, removeMember, kAny, {}},
    {13, deleteObject, kAny, {}},
    {14, objectExists, kAny, {}},
    {15, objectNames, kAny, {}},
    {16, objectMembers, kAny, {}},
    {17, activate, kAny, {}},
    {18, deactivate, kAny, {}},
    {19, clearDefined, kAny, k4_1},
    {20, objectType<false>, kAny, {}},
    {21, activeConfiguration, kAny, {}},
    {22, saveDefined, kAny, {}},
    {23, transactionStart, k2_3, {}},
    {24, transactionCommit, k2_3, {}},
    {25, transactionRollback, k2_3, {}},
    {26, validateDefined, k2_3, {}},
    {27, activeDatabase, k2_3, {}},
    {29, objectType<true>, k2_6, {}},
    {30, createOrAdd<ZoningObjectArgs2, xdr_ZoningObjectArgs2, true>, k4_0, {}},
    {31, createOrAdd<ZoningObjectArgs2, xdr_ZoningObjectArgs2, false>, k4_0, {}},
};

bool atLeast(const FirmwareLevel& level, const FirmwareLevel& bound) {
    return level.major != bound.major ? level.major > bound.major : level.minor >= bound.minor;
}

const Offer* findOffer(std::uint32_t procedure) {
    for (const auto& offer : kOffers) {
        if (offer.procedure == procedure) {
            return &offer;
        }
    }
    return nullptr;
}

// Every zoning procedure: refused as unavailable where the proxy's firmware
// does not offer it.
ProcedureResult zoningProcedure(CallContext& ctx, std::span<const char> bytes) {
    const Offer* offer = findOffer(ctx.procedure);
    if (offer == nullptr || !zoningProcedureOffered(ctx.procedure, ctx.proxy.firmware)) {
        return {AcceptStatus::ProcedureUnavailable, {}};
    }
    return offer->handler(ctx, bytes);
}

} // namespace

std::optional<FirmwareLevel> firmwareLevelOf(const std::string& firmware) {
    static const std::regex version(R"(v(\d+)\.(\d+))");
    std::smatch match;
    if (!std::regex_search(firmware, match, version)) {
        return std::nullopt;
    }
    try {
        return FirmwareLevel{std::stoi(match[1]), std::stoi(match[2])};
    } catch (const std::exception&) {
        return std::nullopt; // numbers too long to be a version
    }
}

bool zoningProcedureOffered(std::uint32_t procedure, const std::optional<std::string>& firmware) {
    const Offer* offer = findOffer(procedure);
    if (offer == nullptr) {
        return false;
    }
    const FirmwareLevel level =
        firmware ? firmwareLevelOf(*firmware).value_or(FirmwareLevel{}) : FirmwareLevel{};
    return atLeast(level, offer->from) && !(offer->until && atLeast(level, *offer->until));
}

ProcedureHandler findZoningProcedure(std::uint32_t procedure) {
    return findOffer(procedure) != nullptr ? zoningProcedure : nullptr;
}
