/* A caller written in C: identifiers travel in OID_t variables, passed to
 * the exports as C passes arrays. */
#include "c_identifiers.h"

#include <string.h>

#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/oid.h"

/* An OID_t holding `text`, NUL-padded and cut to 47 characters. */
static void fillOid(OID_t oid, const char* text) {
    memset(oid, 0, sizeof(OID_t));
    strncpy(oid, text, sizeof(OID_t) - 1);
}

int c_startLibrary(void) {
    return FabAPI_InitializeFabricAPI(NULL);
}

int c_stopLibrary(void) {
    return FabAPI_ShutdownFabricAPI();
}

int c_wwnToOid(const unsigned char* wwn, unsigned short type, char* oid) {
    OID_t result = "untouched";
    const int status = WWNtoOID(wwn, type, result);
    memcpy(oid, result, sizeof result);
    return status;
}

int c_wwnToStr(const unsigned char* wwn, char* text) {
    char* block = NULL;
    const int status = WWNtoStr(wwn, &block);
    text[0] = '\0';
    if (status == 0) {
        strncpy(text, block, 23);
        text[23] = '\0';
        falFreeObject(block);
    }
    return status;
}

int c_encodeSwitchPortGroup(const char* switchText, int firstPort, int lastPort, char* group) {
    OID_t switchOid;
    OID_t result = "untouched";
    int status;
    fillOid(switchOid, switchText);
    status = EncodeSwitchPortGroupOID(switchOid, firstPort, lastPort, result);
    memcpy(group, result, sizeof result);
    return status;
}

int c_decodeSwitchPortGroup(const char* groupText, char* switchOid, int* firstPort, int* lastPort) {
    OID_t group;
    OID_t result = "untouched";
    int status;
    fillOid(group, groupText);
    status = DecodeSwitchPortGroupOID(group, result, firstPort, lastPort);
    memcpy(switchOid, result, sizeof result);
    return status;
}

int c_encodeDomainPortRef(int domain, int port, char* ref) {
    OID_t result = "untouched";
    const int status = EncodeDomainPortRef(domain, port, result);
    memcpy(ref, result, sizeof result);
    return status;
}

int c_decodeDomainPortRef(const char* refText, int* domain, int* port) {
    OID_t ref;
    fillOid(ref, refText);
    return DecodeDomainPortRef(ref, domain, port);
}

int c_decodeUnendedDomainPortRef(int* domain, int* port) {
    /* Two fields back to back, the first without a NUL: the export must
     * stop at the end of the first. */
    OID_t fields[2];
    memset(fields[0], '0', sizeof fields[0]);
    memcpy(fields[0], "f000", 4);
    fillOid(fields[1], "0000");
    return DecodeDomainPortRef(fields[0], domain, port);
}
