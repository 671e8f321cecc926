// A fabric connection over the remote management program of a proxy
// switch: the RPC client handle, the descriptor it was opened with, the
// credential of its login, and one wrapper per remote procedure.
//
// A connection made with security mode 100 logs in by answering the
// switch's certificate challenge, one made with mode 101 by user name and
// password; any other mode leaves it without a login. After a login every
// call carries the credential as its AUTH_UNIX authentication.
//
// Every wrapper runs its client procedure under the process-wide RPC lock
// with the RPC call time-out (the internal timing's). A caller that holds
// the connection may set another time-out on the client handle for a long
// call: it holds until the caller sets the previous value back. Each call
// decodes into a zeroed result record of its own, which belongs to the
// caller until freeReply releases it, so a reply stays readable whatever
// other threads call meanwhile. A wrapper
// returns null when the call did not complete (transport failure, time-out,
// a refused program or procedure, a reply that does not decode); a reply
// that arrives carries its own status for the caller to interpret.
#pragma once

#include <functional>
#include <optional>
#include <type_traits>

#include "connection/ConnectionDescriptor.h"
#include "connection/Fabric_Connection_Ifc.h"
#include "connection/RPCSecureSig.h"
#include "connection/XdrFilter.h"
#include "remote_api.h"

// Gives the interface's untyped handle slot the RPC client, so that the RPC
// connection itself can offer the handle typed.
class Fabric_Connection_RPC_Handle : public Fabric_Connection_Ifc {
public:
    void* getHandle() final { return clientHandle(); }

protected:
    virtual CLIENT* clientHandle() const = 0;
};

class Fabric_Connection_Impl_RPC : public Fabric_Connection_RPC_Handle {
public:
    // Takes ownership of the client handle (null gives a connection whose
    // every call fails) and logs in as the descriptor's security mode says.
    // A failed login throws its ConnectionException (or the host signature's
    // SecurityUtilException) after the handle has been destroyed.
    Fabric_Connection_Impl_RPC(CLIENT* client, const ConnectionDescriptor& descriptor);
    // A connection without login to an unnamed proxy (empty proxy entry),
    // for callers that hold only a client handle.
    explicit Fabric_Connection_Impl_RPC(CLIENT* client);
    // Destroys the handle's authentication object and then the handle.
    ~Fabric_Connection_Impl_RPC() override;

    Fabric_Connection_Impl_RPC(const Fabric_Connection_Impl_RPC&) = delete;
    Fabric_Connection_Impl_RPC& operator=(const Fabric_Connection_Impl_RPC&) = delete;

    // The client handle. A call that times out replaces it by a new handle
    // on the same socket (with the same credential), so take it afresh
    // rather than keep it.
    CLIENT* getHandle() const { return client_; }

    // The object's address.
    int hashCode() const override;
    // Procedure 2; ConnectionException -56 without a reply.
    WWNAddress getFabricWWNAddress() override;
    // Procedure 4 for the proxy switch's name; ConnectionException -10200
    // without a reply or with a status other than 0.
    FirmwareVersion getProxyVersion() override;
    // Procedure 3; ConnectionException -56 without a reply.
    WWNAddress getProxyWWNAddress() override;
    IPAddress getProxyIPAddress() override;
    ProtocolKey getProtocolDescriptor() override;
    std::string getLoginUser() override;
    std::string getLoginPassword() override;
    ConnectionDescriptor getConnectionDescriptor() override;
    // {0, "RPC connection success."} when the proxy switch names itself,
    // else {1, "RPC connection failure."}.
    ConnectionStatus checkStatus() override;

    // True when the proxy entry has both a user name and a password.
    bool hasLoginCredentials();
    // The credential text of the login, or null before a login succeeded.
    const char* getLoginSignature() const;
    // Procedure 126, request type 2: true when the switch answers 1 (it
    // prefers certificate logins).
    bool queryLoginFlag();

    // The two logins. Each installs the new credential on the handle, keeps
    // it and returns a copy; failures throw ConnectionException.
    RPCSecureSig loginWithPassword();
    RPCSecureSig loginWithSignature();
    // Replaces the handle's authentication by AUTH_UNIX with the credential
    // text as machine name and its number as user id (group 0, no groups).
    void installCredential(const RPCSecureSig& credential);

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
    // Sets the internal timing's call time-out on the handle and keeps it.
    void applyCallTimeout();
    // True when the handle's time-out is not the one applyCallTimeout set:
    // a caller raised it for a long call.
    bool callTimeoutRaised() const;
    CLIENT* clientHandle() const override { return client_; }
    // Destroys the authentication object and the handle; leaves null.
    void destroyClient();
    // Makes, installs and keeps the credential of an accepted login.
    RPCSecureSig acceptLogin(const AuthReply& reply);

    CLIENT* client_;
    ConnectionDescriptor descriptor_;
    std::optional<RPCSecureSig> credential_;
    std::optional<timeval> appliedTimeout_;
};
