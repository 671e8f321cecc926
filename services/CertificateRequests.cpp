// The switch certificate exports and their implementations.
#include "services/CertificateRequests.h"

#include <cstring>
#include <string>

#include <orvane/status.h>
#include <orvane/transfers.h>

#include "api/ExportFrame.h"
#include "api/ObjectStore.h"
#include "connection/clilib_records.h"
#include "connection/clilib_security.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"
#include "objects/gorlib.h"

namespace {

constexpr char kSourceFile[] = "secureSAN";
// No stored switch for the identifier, or one without a world wide name.
constexpr int kNoSuchSwitch = -13;

// What a request to the switch needs.
struct SwitchTarget {
    unsigned char name[8];
    SessionContext* handle = nullptr;
};

// Finds the switch of `switchOid` and its fabric's session under the
// object-model lock: 0, -13 or the code of GetFabricHandleOfObject.
int findSwitch(const char* switchOid, SwitchTarget& target) {
    LockGuard model(getObjectStoreMutex());
    StoredObject* object = findObjectByOid(switchOid);
    if (object == nullptr)
        return kNoSuchSwitch;
    unsigned short type = 0;
    if (!object->getShortAttr("ObjType", type) || type != ObjectType::Switch)
        return kNoSuchSwitch;
    const auto wwn = object->getWwnAttr("WWN");
    if (!wwn)
        return kNoSuchSwitch;
    std::memcpy(target.name, wwn->bytes(), sizeof target.name);
    void* handle = nullptr;
    if (const int status = GetFabricHandleOfObject(object, handle); status != 0)
        return status;
    target.handle = static_cast<SessionContext*>(handle);
    return 0;
}

// Runs `work` with the switch's target inside the shutdown gate, the
// device-access lock held around it. The trace records of the frame are
// written here: lookup failures leave without an "Exiting " record.
template <class Work>
int certificateCall(const char* exportName, const char* switchOid, bool argumentsGiven,
                    Work&& work) {
    traceRecord(Vosk_Ext_API, "Entering ", exportName, "", kSourceFile, __LINE__);
    const int status = gatedCall(InitCheck::Required, [&]() -> int {
        if (switchOid == nullptr || !argumentsGiven)
            return FABAPI_ERR_BAD_ARGUMENT;
        SwitchTarget target;
        if (const int found = findSwitch(switchOid, target); found != 0)
            return found;
        int result = 0;
        {
            LockGuard device(getSwitchRequestMutex());
            result = work(target);
        }
        traceRecord(Vosk_Ext_API, "Exiting ", exportName, "", kSourceFile, __LINE__);
        return result;
    });
    if (status == FABAPI_ERR_SHUTTING_DOWN) {
        const std::string text =
            std::string("Unable to perform ") + exportName + ". API shutting down.";
        traceRecord(Vosk_Ext_API, text.c_str(), exportName, "", kSourceFile, __LINE__);
    }
    return status;
}

// The frame's catch: no exception leaves an export.
template <class Call> int guarded(Call&& call) noexcept {
    try {
        return call();
    } catch (...) {
        return FABAPI_ERR_OUT_OF_MEMORY;
    }
}

} // namespace

int Int_CreateCertificateSigningRequest(const char* switchOid) {
    // Only finds the switch and its session and waits for a request in
    // flight; nothing reaches the switch.
    return certificateCall("CreateCertificateSigningRequest", switchOid, true,
                           [](const SwitchTarget&) { return 0; });
}

int Int_GetCertificateSigningRequest(const char* switchOid, char** signingRequest) {
    return certificateCall(
        "GetCertificateSigningRequest", switchOid, signingRequest != nullptr,
        [&](const SwitchTarget& target) -> int {
            CertificateRequestText request{0, nullptr};
            const int status =
                switchGetCertificateSigningRequest(target.handle, target.name, &request);
            if (status != 0)
                return status;
            // The length counts only the bytes received.
            const std::size_t length =
                request.text == nullptr || request.length < 0
                    ? 0
                    : strnlen(request.text, static_cast<std::size_t>(request.length));
            auto* block = static_cast<char*>(falAllocObject(length + kSigningRequestPadding));
            *signingRequest = block;
            if (block != nullptr && length > 0)
                std::memcpy(block, request.text, length);
            if (request.text != nullptr)
                freeApiRecord(request.text);
            return block == nullptr ? FABAPI_ERR_OUT_OF_MEMORY : 0;
        });
}

int Int_InstallCertificate(const char* switchOid, const char* certificate) {
    return certificateCall("InstallCertificate", switchOid, certificate != nullptr,
                           [&](const SwitchTarget& target) {
                               const int length = static_cast<int>(std::strlen(certificate));
                               return installSwitchCertificate(target.handle, target.name,
                                                               certificate, length);
                           });
}

// ---------------------------------------------------------------------------
// Exports

int CreateCertificateSigningRequest(const char* switchOid) {
    return guarded([&] { return Int_CreateCertificateSigningRequest(switchOid); });
}

int GetCertificateSigningRequest(const char* switchOid, char** signingRequest) {
    return guarded([&] { return Int_GetCertificateSigningRequest(switchOid, signingRequest); });
}

int InstallCertificate(const char* switchOid, const char* certificate) {
    return guarded([&] { return Int_InstallCertificate(switchOid, certificate); });
}
