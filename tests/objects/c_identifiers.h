/* Entry points of the C caller of the identifier exports, for the test
 * program. Texts go in as C strings; each is copied into an OID_t variable,
 * which is what the C caller hands to the export. Results come back in
 * 48-character buffers. */
#ifndef ORVANE_TESTS_C_IDENTIFIERS_H
#define ORVANE_TESTS_C_IDENTIFIERS_H

#ifdef __cplusplus
extern "C" {
#endif

int c_startLibrary(void);
int c_stopLibrary(void);

int c_wwnToOid(const unsigned char* wwn, unsigned short type, char* oid);
/* The text of WWNtoStr copied into `text` (24 bytes) and freed. */
int c_wwnToStr(const unsigned char* wwn, char* text);
int c_encodeSwitchPortGroup(const char* switchText, int firstPort, int lastPort, char* group);
int c_decodeSwitchPortGroup(const char* groupText, char* switchOid, int* firstPort, int* lastPort);
int c_encodeDomainPortRef(int domain, int port, char* ref);
int c_decodeDomainPortRef(const char* refText, int* domain, int* port);
/* Decodes a field of 48 hex digits, with no NUL in it. */
int c_decodeUnendedDomainPortRef(int* domain, int* port);

#ifdef __cplusplus
}
#endif

#endif
