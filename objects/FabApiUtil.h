// The implementations behind the identifier exports. Each export runs its
// Int_ function inside the export frame (api/ExportFrame.h).
#pragma once

#include <orvane/oid.h>

int Int_WWNtoOID(const unsigned char* wwn, unsigned short type, OID_t oid);
int Int_WWNtoStr(const unsigned char* wwn, char** text);
int Int_EncodeSwitchPortGroupOID(const OID_t switchOid, int firstPort, int lastPort,
                                 OID_t groupOid);
int Int_DecodeSwitchPortGroupOID(const OID_t groupOid, OID_t switchOid, int* firstPort,
                                 int* lastPort);
int Int_EncodeDomainPortRef(int domain, int port, OID_t ref);
int Int_DecodeDomainPortRef(const OID_t ref, int* domain, int* port);
