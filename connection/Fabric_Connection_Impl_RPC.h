// A fabric connection over the remote management program of a proxy
// switch: the RPC client handle and one wrapper per remote procedure.
//
// Every wrapper runs its client procedure under the process-wide RPC lock
// with the RPC call time-out. Each call decodes into a zeroed result record
// of its own, which belongs to the caller until freeReply releases it, so a
// reply stays readable whatever other threads call meanwhile. A wrapper
// returns null when the call did not complete (transport failure, time-out,
// a refused program or procedure, a reply that does not decode); a reply
// that arrives carries its own status for the caller to interpret.
#pragma once

#include <functional>
#include <type_traits>

#include "connection/XdrFilter.h"
#include "remote_api.h"

class Fabric_Connection_Impl_RPC {
public:
    // Takes ownership of the client handle (null gives a connection whose
    // every call fails).
    explicit Fabric_Connection_Impl_RPC(CLIENT* client);
    // Destroys the handle's authentication object and then the handle.
    virtual ~Fabric_Connection_Impl_RPC();

    Fabric_Connection_Impl_RPC(const Fabric_Connection_Impl_RPC&) = delete;
    Fabric_Connection_Impl_RPC& operator=(const Fabric_Connection_Impl_RPC&) = delete;

    // The client handle. A call that times out replaces it by a new handle
    // on the same socket, so take it afresh rather than keep it.
    CLIENT* getHandle() const { return client_; }

    // Releases a reply of any wrapper: its variable parts with xdr_free and
    // the result filter of its procedure, then the record itself, under the
    // RPC lock. A null reply is ignored. Every non-null reply is released
    // exactly once.
    static void freeReply(xdrproc_t filter, void* reply);
    template <class Reply> static void freeReply(bool_t (*filter)(XDR*, Reply*), Reply* reply) {
        freeReply(asXdrFilter(filter), reply);
    }
    // The world wide name replies of procedures 2 and 3.
    static void freeReply(WWNBytes* reply) { freeReply(asXdrFilter(xdr_WWNBytes), reply); }

    AuthReply* rpcAuthenticate(const char* loginText);
    WWNBytes* rpcGetFabricWWN();
    WWNBytes* rpcGetSwitchName();
    FirmwareVersionReply* rpcGetFirmwareVersion(const u_char switchName[8]);
    ZoningStatusReply* rpcZoningObjectCreate(const ZoningObjectArgs* args);
    ZoningStatusReply* rpcZoningObjectAddMembers(const ZoningObjectArgs* args);
    ZoningStatusReply* rpcZoningObjectRemoveMembers(const ZoningObjectArgs* args);
    ZoningStatusReply* rpcZoningObjectDelete(const ZoningObjectArgs* args);
    ZoningStatusReply* rpcZoningObjectExists(const ZoningObjectArgs* args);
    ZoningNamesReply* rpcZoningGetObjectNames(int objectType);
    ZoningNamesReply* rpcZoningGetObjectMembers(const ZoningObjectArgs* args);
    ZoningStatusReply* rpcZoneSetActivate(const char* zoneSetName);
    ZoningStatusReply* rpcZoneSetDeactivate();
    ZoningStatusReply* rpcDefinedDbClear();
    ZoningTypeReply* rpcZoningObjectGetType(const char* objectName);
    ZoningTextReply* rpcGetActiveZoningConfig();
    ZoningStatusReply* rpcDefinedDbSave();
    ZoningStatusReply* rpcTransactionStart();
    ZoningStatusReply* rpcTransactionCommit();
    ZoningStatusReply* rpcTransactionRollback();
    ZoningValidateReply* rpcDefinedDbValidate();
    ZoningTextReply* rpcGetZoningDatabase_2_3();
    ZoningTypeReply* rpcZoningObjectGetType_2_6(const char* objectName);
    ZoningStatusReply* rpcZoningObjectCreate_4_0(const ZoningObjectArgs2* args);
    ZoningStatusReply* rpcZoningObjectAddMembers_4_0(const ZoningObjectArgs2* args);
    MSReply* rpcMSSvrRequest(const MSRequestArgs* args);
    NSReply* rpcNSSvrRequest(const NSRequestArgs* args);
    ZoningStatusReply* rpcEventRegister(const EventListenerArgs* args);
    ZoningStatusReply* rpcEventDeregister(const EventListenerArgs* args);
    MPSReply* rpcMPSRequest(const MPSRequestArgs* args);
    MPSReply* rpcSecureLogin(const MPSRequestArgs* args);
    MSReply* rpcPlatSetInfo(const PlatformSetArgs* args);

private:
    // Runs one client procedure: a zeroed result area of replySize bytes,
    // the RPC lock, the call time-out, SIGPIPE kept away. Returns the area,
    // or null (the area released) when the call did not succeed.
    void* call(const std::function<enum clnt_stat(CLIENT*, void*)>& procedure,
               xdrproc_t resultFilter, size_t replySize);

    template <class Args, class Reply>
    Reply* call(enum clnt_stat (*procedure)(Args*, Reply*, CLIENT*),
                std::type_identity_t<const Args*> args, bool_t (*resultFilter)(XDR*, Reply*),
                size_t replySize = sizeof(Reply)) {
        Args* const argument = const_cast<Args*>(args); // encoding only reads it
        return static_cast<Reply*>(call(
            [&](CLIENT* client, void* reply) {
                return procedure(argument, static_cast<Reply*>(reply), client);
            },
            asXdrFilter(resultFilter), replySize));
    }

    // Replaces the client handle after a time-out (see the definition).
    void restartRecordStream();

    CLIENT* client_;
};
