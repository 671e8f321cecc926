#include "zoning/UDAL_ZoningAccess_2_2_Impl.h"

#include <new>

#include "zoning/ZoningArguments.h"
#include "zoning/ZoningRpc.h"
#include "zoning/ZoningTrace.h"

namespace {

constexpr char kSource[] = "..\\zoning\\UDAL_ZoningAccess_2_2_Impl";

// The request record points at the texts; they must outlive it.
ZoningObjectArgs objectRequest(int type, const char* name, const char* memberText) {
    return ZoningObjectArgs{type, const_cast<char*>(name), const_cast<char*>(memberText)};
}

// The member names joined with ";" (code 7 for a null entry).
std::string joinMembers(const std::vector<ZoningNameEntry*>& members, const char* operation) {
    std::string text;
    bool first = true;
    for (const ZoningNameEntry* member : members) {
        requireArgument(member != nullptr && member->name != nullptr, operation);
        if (!first) {
            text += ';';
        }
        first = false;
        text += member->name;
    }
    return text;
}

} // namespace

UDAL_ZoningAccess_2_2_Impl::UDAL_ZoningAccess_2_2_Impl(SessionContext* session)
    : session_(session), connection_(getSessionRPCConnection(session)) {}

UDAL_ZoningAccess_2_2_Impl::~UDAL_ZoningAccess_2_2_Impl() {
    returnSessionRPCConnection(connection_, session_);
}

Fabric_Connection_Impl_RPC& UDAL_ZoningAccess_2_2_Impl::rpc(const char* operation) const {
    if (connection_ == nullptr) {
        throw UDAL_ZoningException(ZONING_ERR_NO_REPLY, operation);
    }
    return *connection_;
}

template <class Args>
void UDAL_ZoningAccess_2_2_Impl::sendMemberList(MemberListCall<Args> procedure, std::size_t textMax,
                                                const char* name, int type,
                                                const std::vector<ZoningNameEntry*>* members,
                                                const char* operation, const char* method,
                                                const char* sourceFile) try {
    requireArgument(name != nullptr && members != nullptr, operation);
    const ZoningTrace trace(method, sourceFile);
    trace.enter(nameAndTypeText(name, std::to_string(type)));
    requireEditableType(type, operation);
    requireNameFits(name, ZoningNameMax, operation);
    const std::string memberText = joinMembers(*members, operation);
    if (memberText.size() > textMax) {
        throw UDAL_ZoningException(ZONING_ERR_MEMBER_TEXT_LONG, operation);
    }
    const Args request{type, const_cast<char*>(name), const_cast<char*>(memberText.c_str())};
    expectSuccess((rpc(operation).*procedure)(&request), operation);
    trace.exit();
} catch (const std::bad_alloc&) {
    throwNoMemory(operation);
}

template void UDAL_ZoningAccess_2_2_Impl::sendMemberList<ZoningObjectArgs>(
    MemberListCall<ZoningObjectArgs>, std::size_t, const char*, int,
    const std::vector<ZoningNameEntry*>*, const char*, const char*, const char*);
template void UDAL_ZoningAccess_2_2_Impl::sendMemberList<ZoningObjectArgs2>(
    MemberListCall<ZoningObjectArgs2>, std::size_t, const char*, int,
    const std::vector<ZoningNameEntry*>*, const char*, const char*, const char*);

void UDAL_ZoningAccess_2_2_Impl::ZoningObjectCreate(const char* name, int type,
                                                    const std::vector<ZoningNameEntry*>* members) {
    sendMemberList(&Fabric_Connection_Impl_RPC::rpcZoningObjectCreate, ZoningMemberTextMax, name,
                   type, members, "ZoningObjectCreate", "ZoningObjectCreate Version 2.2", kSource);
}

void UDAL_ZoningAccess_2_2_Impl::ZoningObjectDelete(const char* name, int type) {
    constexpr char kOperation[] = "ZoningObjectDelete";
    requireArgument(name != nullptr, kOperation);
    const ZoningTrace trace("ZoningObjectDelete Version 2.2", kSource);
    trace.enter(nameAndTypeText(name, std::to_string(type)));
    requireEditableType(type, kOperation);
    requireNameFits(name, ZoningNameMax, kOperation);
    const ZoningObjectArgs request = objectRequest(type, name, "");
    expectSuccess(rpc(kOperation).rpcZoningObjectDelete(&request), kOperation);
    trace.exit();
}

void UDAL_ZoningAccess_2_2_Impl::ZoningObjectAddMembers(
    const char* name, int type, const std::vector<ZoningNameEntry*>* members) {
    sendMemberList(&Fabric_Connection_Impl_RPC::rpcZoningObjectAddMembers, ZoningMemberTextMax,
                   name, type, members, "ZoningObjectAddMembers",
                   "ZoningObjectAddMembers Version 2.2", kSource);
}

void UDAL_ZoningAccess_2_2_Impl::ZoningObjectRemoveMembers(
    const char* name, int type, const std::vector<ZoningNameEntry*>* members) {
    constexpr char kOperation[] = "ZoningObjectRemoveMembers";
    requireArgument(name != nullptr, kOperation);
    const ZoningTrace trace("ZoningObjectRemoveMembers Version 2.2", kSource);
    trace.enter(nameAndTypeText(name, std::to_string(type)));
    requireArgument(members != nullptr, kOperation);
    requireEditableType(type, kOperation);
    requireNameFits(name, ZoningNameMax, kOperation);
    for (const ZoningNameEntry* member : *members) {
        requireArgument(member != nullptr && member->name != nullptr, kOperation);
        if (strnlen(member->name, ZoningMemberTextMax + 1) > ZoningMemberTextMax) {
            throw UDAL_ZoningException(ZONING_ERR_MEMBER_TEXT_LONG, kOperation);
        }
        const ZoningObjectArgs request{type, const_cast<char*>(name), member->name};
        expectSuccess(rpc(kOperation).rpcZoningObjectRemoveMembers(&request), kOperation);
    }
    trace.exit();
}

bool UDAL_ZoningAccess_2_2_Impl::ZoningObjectExists(const char* name) {
    constexpr char kOperation[] = "ZoningObjectExists";
    constexpr int kNotFoundStatus = -10100;
    requireArgument(name != nullptr, kOperation);
    const ZoningTrace trace("ZoningObjectExists Version 2.2", kSource);
    trace.enter(std::string("ZoningObjectName=") + name);
    requireNameFits(name, ZoningNameMax, kOperation);
    bool exists = false;
    for (int type = 1; type <= 7 && !exists; ++type) {
        const ZoningObjectArgs request = objectRequest(type, name, "");
        ZoningReply reply(rpc(kOperation).rpcZoningObjectExists(&request));
        requireReply(reply, kOperation);
        const int status = reply->status;
        reply.release();
        // Only "not found" means that the object is not of this type; any
        // other refusal is a failure of the question itself.
        if (status != kNotFoundStatus) {
            throwOnSwitchStatus(status, kOperation);
            exists = true;
        }
    }
    trace.exit(std::string("Exists=") + flagText(exists ? 1 : 0));
    return exists;
}

int UDAL_ZoningAccess_2_2_Impl::ZoningObjectGetType(const char* name, ZoningFlag active) {
    return askObjectType(name, active, false, "ZoningObjectGetType Version 2.2", kSource);
}

int UDAL_ZoningAccess_2_2_Impl::askObjectType(const char* name, ZoningFlag active,
                                              bool askActiveDatabase, const char* method,
                                              const char* sourceFile) {
    constexpr char kOperation[] = "ZoningObjectGetType";
    requireArgument(name != nullptr, kOperation);
    requireFlag(active, kOperation);
    const ZoningTrace trace(method, sourceFile);
    trace.enter(std::string("ZoningObjectName=") + name + " Active=" + flagText(active));
    requireNameFits(name, ZoningRequestNameMax, kOperation);
    Fabric_Connection_Impl_RPC& connection = rpc(kOperation);
    const int type =
        typeFromReply(active == 1 && askActiveDatabase ? connection.rpcZoningObjectGetType_2_6(name)
                                                       : connection.rpcZoningObjectGetType(name),
                      kOperation);
    trace.exit("ZoningObjectType=" + std::to_string(type));
    return type;
}

int UDAL_ZoningAccess_2_2_Impl::typeFromReply(ZoningTypeReply* raw, const char* operation) {
    ZoningReply reply(raw);
    requireReply(reply, operation);
    const int status = reply->status;
    const int type = reply->objectType;
    reply.release();
    throwOnSwitchStatus(status, operation);
    return type;
}

void UDAL_ZoningAccess_2_2_Impl::sendActivation(const char* zoneSetName, const char* operation) {
    requireNameFits(zoneSetName, ZoningRequestNameMax, operation);
    Fabric_Connection_Impl_RPC& connection = rpc(operation);
    RaisedCallTimeout longCall(connection);
    ZoningReply reply(connection.rpcZoneSetActivate(zoneSetName));
    longCall.restore();
    requireReply(reply, operation);
    // Every refusal of an activation has the one code.
    if (reply->status != 0) {
        throw UDAL_ZoningException(ZONING_ERR_ACTIVATION_REFUSED, operation);
    }
}

void UDAL_ZoningAccess_2_2_Impl::ZoneSetActivate(const char* zoneSetName) {
    constexpr char kOperation[] = "ZoneSetActivate";
    requireArgument(zoneSetName != nullptr, kOperation);
    const ZoningTrace trace("ZoneSetActivate Version 2.2", kSource);
    trace.enter(std::string("ZoningObjectName=") + zoneSetName);
    sendActivation(zoneSetName, kOperation);
    DefinedDbSave();
    trace.exit();
}

void UDAL_ZoningAccess_2_2_Impl::ZoneSetDeactivate() {
    constexpr char kOperation[] = "ZoneSetDeactivate";
    const ZoningTrace trace("ZoneSetDeactivate Version 2.2", kSource);
    trace.enter();
    expectSuccess(rpc(kOperation).rpcZoneSetDeactivate(), kOperation);
    trace.exit();
}

void UDAL_ZoningAccess_2_2_Impl::TransactionStart() {
    throw UDAL_ZoningException(ZONING_ERR_UNSUPPORTED, "TransactionStart");
}

void UDAL_ZoningAccess_2_2_Impl::TransactionRollback() {
    throw UDAL_ZoningException(ZONING_ERR_UNSUPPORTED, "TransactionRollback");
}

void UDAL_ZoningAccess_2_2_Impl::TransactionCommit() {
    const ZoningTrace trace("TransactionCommit Version 2.2", kSource);
    trace.enter();
    DefinedDbSave();
    trace.exit();
}

int UDAL_ZoningAccess_2_2_Impl::TransactionGetStatus() {
    throw UDAL_ZoningException(ZONING_ERR_UNSUPPORTED, "TransactionGetStatus");
}

ZoningTextRecord* UDAL_ZoningAccess_2_2_Impl::DefinedDbValidate() {
    throw UDAL_ZoningException(ZONING_ERR_UNSUPPORTED, "DefinedDbValidate");
}

void UDAL_ZoningAccess_2_2_Impl::DefinedDbClear() {
    constexpr char kOperation[] = "DefinedDbClear";
    const ZoningTrace trace("DefinedDbClear Version 2.2", kSource);
    trace.enter();
    expectSuccess(rpc(kOperation).rpcDefinedDbClear(), kOperation);
    trace.exit();
}

void UDAL_ZoningAccess_2_2_Impl::DefinedDbSave() {
    constexpr char kOperation[] = "DefinedDbSave";
    const ZoningTrace trace("DefinedDbSave Version 2.2", kSource);
    trace.enter();
    Fabric_Connection_Impl_RPC& connection = rpc(kOperation);
    RaisedCallTimeout longCall(connection);
    ZoningStatusReply* reply = connection.rpcDefinedDbSave();
    longCall.restore();
    expectSuccess(reply, kOperation);
    trace.exit();
}

int UDAL_ZoningAccess_2_2_Impl::checkZoningItem(void*) {
    return 0;
}

void UDAL_ZoningAccess_2_2_Impl::applyZoningItem(void*, int) {}

int UDAL_ZoningAccess_2_2_Impl::reservedOperation() {
    return 0;
}

void UDAL_ZoningAccess_2_2_Impl::ZoningObjectVectorDelete(
    std::vector<ZoningObjectEntry*>** vector) {
    requireArgument(vector != nullptr && *vector != nullptr, "ZoningObjectVectorDelete");
    const ZoningTrace trace("ZoningObjectVectorDelete Version 2.2", kSource);
    trace.enter();
    for (ZoningObjectEntry* entry : **vector) {
        if (entry != nullptr && entry->members != nullptr) {
            ZoningMemberObjectVectorDelete(&entry->members);
        }
        delete entry;
    }
    delete *vector;
    *vector = nullptr;
    trace.exit();
}

void UDAL_ZoningAccess_2_2_Impl::ZoningMemberObjectVectorDelete(
    std::vector<ZoningNameEntry*>** vector) {
    requireArgument(vector != nullptr && *vector != nullptr, "ZoningMemberObjectVectorDelete");
    const ZoningTrace trace("ZoningMemberObjectVectorDelete Version 2.2", kSource);
    trace.enter();
    for (ZoningNameEntry* entry : **vector) {
        delete entry;
    }
    delete *vector;
    *vector = nullptr;
    trace.exit();
}

void UDAL_ZoningAccess_2_2_Impl::ZoningObjectNameVectorDelete(std::vector<char*>** vector) {
    requireArgument(vector != nullptr && *vector != nullptr, "ZoningObjectNameVectorDelete");
    const ZoningTrace trace("ZoningObjectNameVectorDelete Version 2.2", kSource);
    trace.enter();
    for (char* name : **vector) {
        delete[] name;
    }
    delete *vector;
    *vector = nullptr;
    trace.exit();
}
