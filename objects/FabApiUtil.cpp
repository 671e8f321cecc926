// The identifier exports and their implementations.
#include "objects/FabApiUtil.h"

#include <cstring>
#include <new>
#include <string>

#include <orvane/status.h>

#include "api/ExportFrame.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/OidText.h"
#include "foundation/WWNAddress.h"
#include "objects/ObjectIdentifiers.h"
#include "objects/gorlib.h"

namespace {

constexpr char kSourceFile[] = "FabApiUtil";
// The text form of a world wide name: 23 characters and a NUL.
constexpr std::size_t kWwnTextBlock = 24;

// Runs `work` on an initialised library inside the shutdown gate; a call
// turned away by a shutdown leaves its trace text.
template <class Work> int gatedIdentifierCall(const char* exportName, Work&& work) {
    const int status = gatedCall(InitCheck::Required, work);
    if (status == FABAPI_ERR_SHUTTING_DOWN) {
        const std::string text =
            std::string("Unable to perform ") + exportName + ". API shutting down.";
        traceRecord(Vosk_Ext_API, text.c_str(), exportName, "", kSourceFile, __LINE__);
    }
    return status;
}

} // namespace

// ---------------------------------------------------------------------------
// Implementations

int Int_WWNtoOID(const unsigned char* wwn, unsigned short type, OID_t oid) {
    if (wwn == nullptr || oid == nullptr || type == 0) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    formatOidBuffer(WWNAddress(wwn), oid, type);
    return FABAPI_OK;
}

int Int_WWNtoStr(const unsigned char* wwn, char** text) {
    if (wwn == nullptr || text == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    auto* block = static_cast<char*>(falAllocObject(kWwnTextBlock));
    if (block == nullptr) {
        return FABAPI_ERR_OUT_OF_MEMORY;
    }
    const std::string formatted = WWNAddress(wwn).toString();
    std::strncpy(block, formatted.c_str(), kWwnTextBlock - 1);
    *text = block;
    return FABAPI_OK;
}

int Int_EncodeSwitchPortGroupOID(const OID_t switchOid, int firstPort, int lastPort,
                                 OID_t groupOid) {
    return gatedIdentifierCall("EncodeSwitchPortGroupOID", [&] {
        return encodeSwitchPortGroupOid(switchOid, firstPort, lastPort, groupOid);
    });
}

int Int_DecodeSwitchPortGroupOID(const OID_t groupOid, OID_t switchOid, int* firstPort,
                                 int* lastPort) {
    return gatedIdentifierCall("DecodeSwitchPortGroupOID", [&] {
        return decodeSwitchPortGroupOid(groupOid, switchOid, firstPort, lastPort);
    });
}

int Int_EncodeDomainPortRef(int domain, int port, OID_t ref) {
    return gatedIdentifierCall("EncodeDomainPortRef",
                               [&] { return encodeDomainPortRef(domain, port, ref); });
}

int Int_DecodeDomainPortRef(const OID_t ref, int* domain, int* port) {
    return gatedIdentifierCall("DecodeDomainPortRef",
                               [&] { return decodeDomainPortRef(ref, domain, port); });
}

// ---------------------------------------------------------------------------
// Exports

int WWNtoOID(const unsigned char* wwn, unsigned short type, OID_t oid) {
    return runExport(
        "WWNtoOID", [&] { return Int_WWNtoOID(wwn, type, oid); }, kSourceFile);
}

int WWNtoStr(const unsigned char* wwn, char** text) {
    return runExport(
        "WWNtoStr", [&] { return Int_WWNtoStr(wwn, text); }, kSourceFile);
}

int EncodeSwitchPortGroupOID(const OID_t switchOid, int firstPort, int lastPort, OID_t groupOid) {
    return runExport(
        "EncodeSwitchPortGroupOID",
        [&] { return Int_EncodeSwitchPortGroupOID(switchOid, firstPort, lastPort, groupOid); },
        kSourceFile);
}

int DecodeSwitchPortGroupOID(const OID_t groupOid, OID_t switchOid, int* firstPort, int* lastPort) {
    return runExport(
        "DecodeSwitchPortGroupOID",
        [&] { return Int_DecodeSwitchPortGroupOID(groupOid, switchOid, firstPort, lastPort); },
        kSourceFile);
}

int EncodeDomainPortRef(int domain, int port, OID_t ref) {
    return runExport(
        "EncodeDomainPortRef", [&] { return Int_EncodeDomainPortRef(domain, port, ref); },
        kSourceFile);
}

int DecodeDomainPortRef(const OID_t ref, int* domain, int* port) {
    return runExport(
        "DecodeDomainPortRef", [&] { return Int_DecodeDomainPortRef(ref, domain, port); },
        kSourceFile);
}
