#include "connection/Fabric_Connection_Impl_RPC.h"

#include <cstdlib>
#include <cstring>
#include <sys/time.h>
#include <unistd.h>
#include <vector>

#include "connection/RpcCallLock.h"
#include "connection/SigpipeBlock.h"
#include "foundation/InternalTiming.h"
#include "foundation/LockGuard.h"

namespace {

timeval callTimeout() {
    const auto ms = internalTiming().rpcCallTimeout.count();
    timeval timeout{};
    timeout.tv_sec = static_cast<time_t>(ms / 1000);
    timeout.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
    return timeout;
}

} // namespace

Fabric_Connection_Impl_RPC::Fabric_Connection_Impl_RPC(CLIENT* client) : client_(client) {}

Fabric_Connection_Impl_RPC::~Fabric_Connection_Impl_RPC() {
    if (client_ == nullptr) {
        return;
    }
    if (client_->cl_auth != nullptr) {
        auth_destroy(client_->cl_auth);
        client_->cl_auth = nullptr;
    }
    clnt_destroy(client_);
}

void* Fabric_Connection_Impl_RPC::call(
    const std::function<enum clnt_stat(CLIENT*, void*)>& procedure, xdrproc_t resultFilter,
    size_t replySize) {
    if (client_ == nullptr) {
        return nullptr;
    }
    void* reply = std::calloc(1, replySize);
    if (reply == nullptr) {
        return nullptr;
    }
    LockGuard guard(&rpcCallMutex());
    timeval timeout = callTimeout();
    clnt_control(client_, CLSET_TIMEOUT, reinterpret_cast<char*>(&timeout));
    enum clnt_stat status;
    {
        SigpipeBlock sigpipeBlock;
        status = procedure(client_, reply);
    }
    if (status != RPC_SUCCESS) {
        // A reply that failed half-way keeps what it had decoded.
        xdr_free(resultFilter, static_cast<char*>(reply));
        std::free(reply);
        if (status == RPC_TIMEDOUT) {
            restartRecordStream();
        }
        return nullptr;
    }
    return reply;
}

// After a time-out the client's record stream is left inside a record that
// never came: it would take the header of every later reply for a fragment
// of that record and skip it, so every later call would time out too. A new
// client handle on the same socket starts a fresh stream; a reply that still
// arrives for the abandoned call is then skipped by its transaction id.
void Fabric_Connection_Impl_RPC::restartRecordStream() {
    int fd = -1;
    netbuf address{};
    rpcprog_t program = 0;
    rpcvers_t version = 0;
    if (!clnt_control(client_, CLGET_FD, reinterpret_cast<char*>(&fd)) ||
        !clnt_control(client_, CLGET_SVC_ADDR, reinterpret_cast<char*>(&address)) ||
        !clnt_control(client_, CLGET_PROG, reinterpret_cast<char*>(&program)) ||
        !clnt_control(client_, CLGET_VERS, reinterpret_cast<char*>(&version))) {
        return;
    }
    const char* const addressStart = static_cast<const char*>(address.buf);
    std::vector<char> addressBytes(addressStart, addressStart + address.len);
    netbuf savedAddress{address.len, address.len, addressBytes.data()};

    // The credential moves to the new handle; the socket stays open.
    AUTH* const auth = client_->cl_auth;
    client_->cl_auth = nullptr;
    clnt_control(client_, CLSET_FD_NCLOSE, nullptr);
    clnt_destroy(client_);

    client_ = clnt_vc_create(fd, &savedAddress, program, version, 0, 0);
    if (client_ == nullptr) {
        close(fd);
        if (auth != nullptr) {
            auth_destroy(auth);
        }
        return;
    }
    clnt_control(client_, CLSET_FD_CLOSE, nullptr);
    if (auth != nullptr) {
        if (client_->cl_auth != nullptr) {
            auth_destroy(client_->cl_auth);
        }
        client_->cl_auth = auth;
    }
}

void Fabric_Connection_Impl_RPC::freeReply(xdrproc_t filter, void* reply) {
    if (reply == nullptr) {
        return;
    }
    {
        LockGuard guard(&rpcCallMutex());
        xdr_free(filter, static_cast<char*>(reply));
    }
    std::free(reply);
}

AuthReply* Fabric_Connection_Impl_RPC::rpcAuthenticate(const char* loginText) {
    char* const text = const_cast<char*>(loginText);
    return call(rpc_authenticate_1, &text, xdr_AuthReply);
}

WWNBytes* Fabric_Connection_Impl_RPC::rpcGetFabricWWN() {
    return reinterpret_cast<WWNBytes*>(
        call(rpc_get_fabric_wwn_1, nullptr, xdr_WWNBytes, sizeof(WWNBytes)));
}

WWNBytes* Fabric_Connection_Impl_RPC::rpcGetSwitchName() {
    return reinterpret_cast<WWNBytes*>(
        call(rpc_get_switch_name_1, nullptr, xdr_WWNBytes, sizeof(WWNBytes)));
}

FirmwareVersionReply*
Fabric_Connection_Impl_RPC::rpcGetFirmwareVersion(const u_char switchName[8]) {
    WWNBytes name;
    std::memcpy(name, switchName, sizeof(name));
    return call(rpc_get_firmware_version_1, name, xdr_FirmwareVersionReply);
}

ZoningStatusReply* Fabric_Connection_Impl_RPC::rpcZoningObjectCreate(const ZoningObjectArgs* args) {
    return call(rpc_zoning_object_create_1, args, xdr_ZoningStatusReply);
}

ZoningStatusReply*
Fabric_Connection_Impl_RPC::rpcZoningObjectAddMembers(const ZoningObjectArgs* args) {
    return call(rpc_zoning_object_add_members_1, args, xdr_ZoningStatusReply);
}

ZoningStatusReply*
Fabric_Connection_Impl_RPC::rpcZoningObjectRemoveMembers(const ZoningObjectArgs* args) {
    return call(rpc_zoning_object_remove_members_1, args, xdr_ZoningStatusReply);
}

ZoningStatusReply* Fabric_Connection_Impl_RPC::rpcZoningObjectDelete(const ZoningObjectArgs* args) {
    return call(rpc_zoning_object_delete_1, args, xdr_ZoningStatusReply);
}

ZoningStatusReply* Fabric_Connection_Impl_RPC::rpcZoningObjectExists(const ZoningObjectArgs* args) {
    return call(rpc_zoning_object_exists_1, args, xdr_ZoningStatusReply);
}

ZoningNamesReply* Fabric_Connection_Impl_RPC::rpcZoningGetObjectNames(int objectType) {
    return call(rpc_zoning_get_object_names_1, &objectType, xdr_ZoningNamesReply);
}

ZoningNamesReply*
Fabric_Connection_Impl_RPC::rpcZoningGetObjectMembers(const ZoningObjectArgs* args) {
    return call(rpc_zoning_get_object_members_1, args, xdr_ZoningNamesReply);
}

ZoningStatusReply* Fabric_Connection_Impl_RPC::rpcZoneSetActivate(const char* zoneSetName) {
    char* const text = const_cast<char*>(zoneSetName);
    return call(rpc_zone_set_activate_1, &text, xdr_ZoningStatusReply);
}

ZoningStatusReply* Fabric_Connection_Impl_RPC::rpcZoneSetDeactivate() {
    return call(rpc_zone_set_deactivate_1, nullptr, xdr_ZoningStatusReply);
}

ZoningStatusReply* Fabric_Connection_Impl_RPC::rpcDefinedDbClear() {
    return call(rpc_defined_db_clear_1, nullptr, xdr_ZoningStatusReply);
}

ZoningTypeReply* Fabric_Connection_Impl_RPC::rpcZoningObjectGetType(const char* objectName) {
    char* const text = const_cast<char*>(objectName);
    return call(rpc_zoning_object_get_type_1, &text, xdr_ZoningTypeReply);
}

ZoningTextReply* Fabric_Connection_Impl_RPC::rpcGetActiveZoningConfig() {
    return call(rpc_get_active_zoning_config_1, nullptr, xdr_ZoningTextReply);
}

ZoningStatusReply* Fabric_Connection_Impl_RPC::rpcDefinedDbSave() {
    return call(rpc_defined_db_save_1, nullptr, xdr_ZoningStatusReply);
}

ZoningStatusReply* Fabric_Connection_Impl_RPC::rpcTransactionStart() {
    return call(rpc_transaction_start_1, nullptr, xdr_ZoningStatusReply);
}

ZoningStatusReply* Fabric_Connection_Impl_RPC::rpcTransactionCommit() {
    return call(rpc_transaction_commit_1, nullptr, xdr_ZoningStatusReply);
}

ZoningStatusReply* Fabric_Connection_Impl_RPC::rpcTransactionRollback() {
    return call(rpc_transaction_rollback_1, nullptr, xdr_ZoningStatusReply);
}

ZoningValidateReply* Fabric_Connection_Impl_RPC::rpcDefinedDbValidate() {
    return call(rpc_defined_db_validate_1, nullptr, xdr_ZoningValidateReply);
}

ZoningTextReply* Fabric_Connection_Impl_RPC::rpcGetZoningDatabase_2_3() {
    return call(rpc_get_zoning_database_2_3_1, nullptr, xdr_ZoningTextReply);
}

ZoningTypeReply* Fabric_Connection_Impl_RPC::rpcZoningObjectGetType_2_6(const char* objectName) {
    char* const text = const_cast<char*>(objectName);
    return call(rpc_zoning_object_get_type_2_6_1, &text, xdr_ZoningTypeReply);
}

ZoningStatusReply*
Fabric_Connection_Impl_RPC::rpcZoningObjectCreate_4_0(const ZoningObjectArgs2* args) {
    return call(rpc_zoning_object_create_4_0_1, args, xdr_ZoningStatusReply);
}

ZoningStatusReply*
Fabric_Connection_Impl_RPC::rpcZoningObjectAddMembers_4_0(const ZoningObjectArgs2* args) {
    return call(rpc_zoning_object_add_members_4_0_1, args, xdr_ZoningStatusReply);
}

MSReply* Fabric_Connection_Impl_RPC::rpcMSSvrRequest(const MSRequestArgs* args) {
    return call(rpc_ms_svr_request_1, args, xdr_MSReply);
}

NSReply* Fabric_Connection_Impl_RPC::rpcNSSvrRequest(const NSRequestArgs* args) {
    return call(rpc_ns_svr_request_1, args, xdr_NSReply);
}

ZoningStatusReply* Fabric_Connection_Impl_RPC::rpcEventRegister(const EventListenerArgs* args) {
    return call(revnt_svr_create_1, args, xdr_ZoningStatusReply);
}

ZoningStatusReply* Fabric_Connection_Impl_RPC::rpcEventDeregister(const EventListenerArgs* args) {
    return call(revnt_svr_delete_1, args, xdr_ZoningStatusReply);
}

MPSReply* Fabric_Connection_Impl_RPC::rpcMPSRequest(const MPSRequestArgs* args) {
    return call(rpc_mps_request_1, args, xdr_MPSReply);
}

MPSReply* Fabric_Connection_Impl_RPC::rpcSecureLogin(const MPSRequestArgs* args) {
    return call(rpc_secure_login_1, args, xdr_MPSReply);
}

MSReply* Fabric_Connection_Impl_RPC::rpcPlatSetInfo(const PlatformSetArgs* args) {
    return call(rpc_plat_set_info_1, args, xdr_MSReply);
}
