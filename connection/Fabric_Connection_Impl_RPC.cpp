#include "connection/Fabric_Connection_Impl_RPC.h"

#include <cstdlib>
#include <cstring>
#include <sys/time.h>
#include <unistd.h>
#include <vector>

#include "connection/CertMgr.h"
#include "connection/RpcCallLock.h"
#include "connection/SecurityMgr_Impl_Basic.h"
#include "connection/SigpipeBlock.h"
#include "foundation/APIException.h"
#include "foundation/HostSignature.h"
#include "foundation/InternalStatus.h"
#include "foundation/InternalTiming.h"
#include "foundation/LockGuard.h"
#include <orvane/status.h>

namespace {

timeval callTimeout() {
    const auto ms = internalTiming().rpcCallTimeout.count();
    timeval timeout{};
    timeout.tv_sec = static_cast<time_t>(ms / 1000);
    timeout.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
    return timeout;
}

// Code of a refused login: no user, or no access granted.
constexpr int kLoginRefused = -14;
// Security-policy request types of procedure 126.
constexpr int kLoginAnswer = 1;
constexpr int kLoginFlag = 2;
constexpr int kCertificateChallenge = 293;
// Size of the Base64 text of the challenge answer, NUL included.
constexpr int kChallengeAnswerSize = 512;

// A reply of one wrapper, released with its filter when it goes.
template <class Reply> class OwnedReply {
public:
    OwnedReply(Reply* reply, bool_t (*filter)(XDR*, Reply*)) : reply_(reply), filter_(filter) {}
    ~OwnedReply() { Fabric_Connection_Impl_RPC::freeReply(filter_, reply_); }
    OwnedReply(const OwnedReply&) = delete;
    OwnedReply& operator=(const OwnedReply&) = delete;

    Reply* get() const { return reply_; }
    Reply* operator->() const { return reply_; }
    explicit operator bool() const { return reply_ != nullptr; }

private:
    Reply* reply_;
    bool_t (*filter_)(XDR*, Reply*);
};

// Overwrites a buffer that held a secret before it is released.
void wipe(void* data, std::size_t size) {
    volatile unsigned char* bytes = static_cast<volatile unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = 0;
    }
}

// A text that is wiped when it goes: the login texts hold passwords.
class SecretText {
public:
    explicit SecretText(std::string text) : text_(std::move(text)) {}
    ~SecretText() { wipe(text_.data(), text_.size()); }
    SecretText(const SecretText&) = delete;
    SecretText& operator=(const SecretText&) = delete;

    const char* c_str() const { return text_.c_str(); }
    std::size_t size() const { return text_.size(); }

private:
    std::string text_;
};

// A heap buffer that is wiped when it goes; empty when allocation failed.
class SecretBuffer {
public:
    explicit SecretBuffer(std::size_t size) : data_(new (std::nothrow) char[size]()), size_(size) {}
    ~SecretBuffer() {
        if (data_) {
            wipe(data_.get(), size_);
        }
    }
    SecretBuffer(const SecretBuffer&) = delete;
    SecretBuffer& operator=(const SecretBuffer&) = delete;

    char* get() const { return data_.get(); }
    explicit operator bool() const { return data_ != nullptr; }

private:
    std::unique_ptr<char[]> data_;
    std::size_t size_;
};

ConnectionDescriptor descriptorWithoutLogin() {
    return ConnectionDescriptor(rpcProtocolKey(), FabricProxyEntry("", "", IPAddress("")),
                                CONNECTION_LOGIN_NONE);
}

WWNAddress wwnReply(WWNBytes* reply, const char* failure) {
    if (reply == nullptr) {
        throw ConnectionException(failure, FABAPI_ERR_REQUEST_FAILED);
    }
    unsigned char bytes[WWNAddress::Size];
    std::memcpy(bytes, *reply, sizeof(bytes));
    Fabric_Connection_Impl_RPC::freeReply(reply);
    return WWNAddress(bytes);
}

} // namespace

Fabric_Connection_Impl_RPC::Fabric_Connection_Impl_RPC(CLIENT* client,
                                                       const ConnectionDescriptor& descriptor)
    : client_(client), descriptor_(descriptor) {
    applyCallTimeout();
    try {
        switch (descriptor_.getSecurityMode()) {
        case CONNECTION_LOGIN_SIGNATURE:
            loginWithSignature();
            break;
        case CONNECTION_LOGIN_PASSWORD:
            loginWithPassword();
            break;
        default:
            break;
        }
    } catch (...) {
        destroyClient(); // the destructor does not run for a failed construction
        throw;
    }
}

Fabric_Connection_Impl_RPC::Fabric_Connection_Impl_RPC(CLIENT* client)
    : client_(client), descriptor_(descriptorWithoutLogin()) {
    applyCallTimeout();
}

Fabric_Connection_Impl_RPC::~Fabric_Connection_Impl_RPC() {
    destroyClient();
}

void Fabric_Connection_Impl_RPC::destroyClient() {
    if (client_ == nullptr) {
        return;
    }
    if (client_->cl_auth != nullptr) {
        auth_destroy(client_->cl_auth);
        client_->cl_auth = nullptr;
    }
    clnt_destroy(client_);
    client_ = nullptr;
}

int Fabric_Connection_Impl_RPC::hashCode() const {
    return ConnectionID(this).hashCode();
}

WWNAddress Fabric_Connection_Impl_RPC::getFabricWWNAddress() {
    return wwnReply(rpcGetFabricWWN(),
                    "getFabricWWNAddress call in Fabric_Connection_Impl_RPC failed");
}

WWNAddress Fabric_Connection_Impl_RPC::getProxyWWNAddress() {
    return wwnReply(rpcGetSwitchName(), "getSwitchName call in Fabric_Connection_Impl_RPC failed");
}

FirmwareVersion Fabric_Connection_Impl_RPC::getProxyVersion() {
    unsigned char name[WWNAddress::Size];
    getProxyWWNAddress().copyOut(name);
    OwnedReply<FirmwareVersionReply> reply(rpcGetFirmwareVersion(name), xdr_FirmwareVersionReply);
    if (!reply || reply->status != 0) {
        throw ConnectionException("Switch firmware version get call failed.", REQ_ERR_RPC_NO_REPLY);
    }
    // The switch's field need not end in a NUL.
    char text[sizeof(reply->versionText) + 1] = {};
    std::memcpy(text, reply->versionText, sizeof(reply->versionText));
    return FirmwareVersion(text);
}

IPAddress Fabric_Connection_Impl_RPC::getProxyIPAddress() {
    return descriptor_.getProxyEntry().getHost();
}

ProtocolKey Fabric_Connection_Impl_RPC::getProtocolDescriptor() {
    return descriptor_.getProtocolKey();
}

std::string Fabric_Connection_Impl_RPC::getLoginUser() {
    return descriptor_.getProxyEntry().getUser();
}

std::string Fabric_Connection_Impl_RPC::getLoginPassword() {
    return descriptor_.getProxyEntry().getPassword();
}

ConnectionDescriptor Fabric_Connection_Impl_RPC::getConnectionDescriptor() {
    return descriptor_;
}

ConnectionStatus Fabric_Connection_Impl_RPC::checkStatus() {
    try {
        getProxyWWNAddress();
        return {0, "RPC connection success."};
    } catch (const APIException&) {
        return {1, "RPC connection failure."};
    }
}

bool Fabric_Connection_Impl_RPC::hasLoginCredentials() {
    const FabricProxyEntry entry = descriptor_.getProxyEntry();
    return !entry.getUser().empty() && !entry.getPassword().empty();
}

const char* Fabric_Connection_Impl_RPC::getLoginSignature() const {
    return credential_ ? credential_->getText() : nullptr;
}

bool Fabric_Connection_Impl_RPC::queryLoginFlag() {
    MPSRequestArgs args{};
    args.requestType = kLoginFlag;
    OwnedReply<MPSReply> reply(rpcSecureLogin(&args), xdr_MPSReply);
    return reply && reply->body.requestType == kLoginFlag && reply->body.MPSReplyBody_u.number == 1;
}

RPCSecureSig Fabric_Connection_Impl_RPC::loginWithPassword() {
    SecurityMgr_Ifc* security = getSecurityManager();
    if (security == nullptr) {
        security = createSecurityManager(SECURITY_MANAGER_BASIC);
    }
    if (security == nullptr) {
        throw ConnectionException("Memory allocation failure.", REQ_ERR_NO_MEMORY);
    }
    security->initialize();

    const FabricProxyEntry entry = descriptor_.getProxyEntry();
    const std::string user = entry.getUser();
    if (user.empty()) {
        throw ConnectionException("User Entry NULL.", kLoginRefused);
    }
    // Password first: the switch splits the text at its last colon.
    const SecretText text(entry.getPassword() + ":" + user);
    const std::uint32_t inputSize = static_cast<std::uint32_t>(text.size() + 1);
    const SecretBuffer encoded(security->encodedSize(inputSize) + 1);
    if (!encoded) {
        throw ConnectionException("Memory allocation failure.", REQ_ERR_NO_MEMORY);
    }
    unsigned encodedCount = 0;
    int result =
        security->encode(text.c_str(), encoded.get(), static_cast<int>(inputSize), &encodedCount);
    if (result == 0) {
        result = security->finalize(0);
    }
    if (result != 0) {
        throw ConnectionException("Encryption failure.", result);
    }

    OwnedReply<AuthReply> reply(rpcAuthenticate(encoded.get()), xdr_AuthReply);
    if (!reply) {
        throw ConnectionException("Authenticate call failed", kLoginRefused);
    }
    if (reply->accessLevel < 0) {
        throw ConnectionException("Unauthorized access level", kLoginRefused);
    }
    return acceptLogin(*reply.get());
}

RPCSecureSig Fabric_Connection_Impl_RPC::loginWithSignature() {
    const FabricProxyEntry entry = descriptor_.getProxyEntry();
    char answer[kChallengeAnswerSize] = {};
    int answerLength = kChallengeAnswerSize;
    {
        MPSRequestArgs challenge{};
        challenge.requestType = kCertificateChallenge;
        OwnedReply<MPSReply> reply(rpcSecureLogin(&challenge), xdr_MPSReply);
        if (!reply) {
            throw ConnectionException("Null RPC response.", REQ_ERR_NO_SWITCH_CERTIFICATE);
        }
        const int arm = reply->body.requestType;
        const MPSCertificateReply& offer = reply->body.MPSReplyBody_u.certificate;
        if (reply->status != 0 || (arm != 0 && arm != kCertificateChallenge) ||
            offer.certificate.certificate_len == 0 ||
            offer.certificate.certificate_val == nullptr) {
            throw ConnectionException("No switch certificate.", REQ_ERR_NO_SWITCH_CERTIFICATE);
        }
        const SecretText text(std::to_string(static_cast<long>(offer.counter)) + ":" +
                              entry.getUser() + ":" + entry.getPassword());
        CertMgr* certificates = getCertificateManager();
        if (certificates == nullptr) {
            certificates = createCertificateManager();
        }
        if (certificates == nullptr) {
            throw ConnectionException("Memory allocation failure.", REQ_ERR_NO_MEMORY);
        }
        const int result = certificates->encryptForSwitch(
            offer.certificate.certificate_val, static_cast<int>(offer.certificate.certificate_len),
            reinterpret_cast<const unsigned char*>(text.c_str()), static_cast<int>(text.size() + 1),
            answer, &answerLength);
        if (result != 0) {
            throw ConnectionException("Signature encryption failure.", result);
        }
    }

    MPSRequestArgs login{};
    login.requestType = kLoginAnswer;
    MPSLoginData& data = login.MPSRequestArgs_u.login;
    static_assert(sizeof(data.data) >= kChallengeAnswerSize);
    std::memcpy(data.data, answer, static_cast<std::size_t>(answerLength));
    data.length = answerLength;
    OwnedReply<MPSReply> reply(rpcSecureLogin(&login), xdr_MPSReply);
    if (!reply) {
        throw ConnectionException("Authentication error", REQ_ERR_NO_CONNECTION);
    }
    if (reply->status != 0) {
        throw ConnectionException("Switch error", reply->status);
    }
    if (reply->body.requestType != kLoginAnswer) {
        throw ConnectionException("Authentication error", REQ_ERR_NO_CONNECTION);
    }
    const AuthReply& granted = reply->body.MPSReplyBody_u.auth;
    if (granted.accessLevel < 0) {
        throw ConnectionException("Secure login access denied", kLoginRefused);
    }
    return acceptLogin(granted);
}

RPCSecureSig Fabric_Connection_Impl_RPC::acceptLogin(const AuthReply& reply) {
    char text[HostSignatureSize] = {};
    unsigned char wwn[WWNAddress::Size];
    std::memcpy(wwn, reply.wwn, sizeof(wwn));
    formatHostSignature(wwn, static_cast<long>(reply.number), text, sizeof(text));
    RPCSecureSig credential(text, reply.accessLevel);
    installCredential(credential);
    credential_ = credential;
    return credential;
}

void Fabric_Connection_Impl_RPC::installCredential(const RPCSecureSig& credential) {
    if (client_ == nullptr) {
        throw ConnectionException("Unable to establish RPC connnection", REQ_ERR_NO_CONNECTION);
    }
    AUTH* const auth = authunix_create(const_cast<char*>(credential.getText()),
                                       static_cast<uid_t>(credential.getNumber()), 0, 0, nullptr);
    if (auth == nullptr) {
        throw ConnectionException("Memory allocation failure.", REQ_ERR_NO_MEMORY);
    }
    if (client_->cl_auth != nullptr) {
        auth_destroy(client_->cl_auth);
    }
    client_->cl_auth = auth;
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
    if (!callTimeoutRaised()) {
        applyCallTimeout();
    }
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

    appliedTimeout_.reset(); // the new handle starts with the default time-out
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

void Fabric_Connection_Impl_RPC::applyCallTimeout() {
    if (client_ == nullptr) {
        return;
    }
    timeval timeout = callTimeout();
    if (clnt_control(client_, CLSET_TIMEOUT, reinterpret_cast<char*>(&timeout))) {
        appliedTimeout_ = timeout;
    }
}

bool Fabric_Connection_Impl_RPC::callTimeoutRaised() const {
    timeval current{};
    return appliedTimeout_ &&
           clnt_control(client_, CLGET_TIMEOUT, reinterpret_cast<char*>(&current)) &&
           (current.tv_sec != appliedTimeout_->tv_sec ||
            current.tv_usec != appliedTimeout_->tv_usec);
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
