/* Records that the fabric access functions take from and hand to callers.
 *
 * Every record handed out is one caller block: release it with
 * falFreeObject (orvane/objects.h), which also frees every array and text
 * it points to. Null pointers go with counts of 0. In every proxy entry
 * that the library writes, pcPassword is an empty text. */
#ifndef ORVANE_FABAPI_H
#define ORVANE_FABAPI_H

#include "orvane/oid.h"
#include "orvane/orvane_export.h"

ORVANE_BEGIN_DECLS

/* One proxy switch: its IPv4 address text and its login. */
typedef struct FabAPI_ProxyEntry {
    char* pcHostName;
    char* pcUser;
    char* pcPassword;
} FabAPI_ProxyEntry;

typedef struct FabAPI_ProxyEntryList {
    FabAPI_ProxyEntry* entries;
    int count;
} FabAPI_ProxyEntryList;

/* A fabric and its switches, in ascending order of the world wide name. */
typedef struct FabAPI_FabricSignature {
    OID_t structFabricOID;
    OID_t* structSwitchOIDs;
    int count;
} FabAPI_FabricSignature;

/* A discovered fabric and the proxy switches through which it was seen. */
typedef struct FabAPI_FabricIdentity {
    FabAPI_FabricSignature structFabSig;
    FabAPI_ProxyEntry* entries;
    int count;
} FabAPI_FabricIdentity;

typedef struct FabAPI_FabricDiscoveryInfo {
    FabAPI_FabricIdentity* structFabIdentities;
    int identityCount;
    FabAPI_ProxyEntry* structUnreachableEntries;
    int unreachableCount;
    FabAPI_ProxyEntry* structUnstableEntries;
    int unstableCount;
} FabAPI_FabricDiscoveryInfo;

/* A session: structSessionID points to a 48-character buffer holding the
 * fabric's identifier. */
typedef struct FabAPI_ClientSessionID {
    char* structSessionID;
} FabAPI_ClientSessionID;

typedef struct FabAPI_ClientSessionIDList {
    FabAPI_ClientSessionID** ids;
    int count;
} FabAPI_ClientSessionIDList;

/* A trace category name such as "Vosk_Session", or "Vosk_All". */
typedef struct FabAPI_TraceID {
    char* pcTraceID;
} FabAPI_TraceID;

typedef struct FabAPI_ConfigEntry {
    char* pcName;
    char* pcValue;
} FabAPI_ConfigEntry;

/* One row of the fabric identities table of the older interface: the
 * fabric's identifier and the address texts of the proxy switches through
 * which it was seen, ended by a pointer to an empty text. The table ends
 * with a row whose identifier is empty and whose list is null. */
typedef struct FabricIdentitiesType {
    OID_t fabricOID;
    char** proxyAddresses;
} FabricIdentitiesType;

/* Start-up, proxy list, discovery and tracing. Every function returns 0 or
 * a status code of orvane/status.h: those named beside it, and -2 when
 * memory runs out. All but the tracing functions return -98 before start-up
 * (but the two that start the library themselves) and -216 once shutdown
 * has begun. */

/* Initialises the library and empties the proxy list (-99 when it is
 * initialised already). The configuration list is not used. */
ORVANE_EXPORT int FabAPI_InitializeFabricAPI(FabAPI_ConfigEntry* config);
/* Stops the library: calls arriving meanwhile return -216 at once; once the
 * calls in flight have left, every session is closed and the object store
 * emptied. The proxy list is emptied. Returns -214 while sessions of
 * EstablishFabricSession are open and -43 while a firmware download runs;
 * the library then stays up. */
ORVANE_EXPORT int FabAPI_ShutdownFabricAPI(void);
/* -3 for a null entry, host, user or password, or a host that is no
 * address; -200 when the host is listed already. */
ORVANE_EXPORT int FabAPI_AppendProxyEntry(FabAPI_ProxyEntry* entry);
/* -3 for a null entry or host, or a host that is no address; -201 when the
 * host is not listed. */
ORVANE_EXPORT int FabAPI_RemoveProxyEntry(FabAPI_ProxyEntry* entry);
/* -3 for a null `out`. */
ORVANE_EXPORT int FabAPI_ListProxyEntries(FabAPI_ProxyEntryList** out);
/* -3 for a null `out`; an empty proxy list gives 0 and empty arrays. */
ORVANE_EXPORT int FabAPI_DiscoverFabrics(FabAPI_FabricDiscoveryInfo** out);
/* Initialises the library when needed and replaces the proxy list by the
 * addresses given (ended by a null pointer or an empty text) or, with
 * null, by those in the file named by FABRIC_CONFIG_FILE: -3 when the
 * variable is unset or its file cannot be read (the list stays). */
ORVANE_EXPORT int InitializeFabricAccess(char** addresses);
/* Discovers the fabrics of the proxy list into a fabric identities table:
 * -3 for a null `out`, -12 for an empty proxy list, -4 when no fabric was
 * found (the table then holds its end row only). */
ORVANE_EXPORT int GetFabricIdentities(FabricIdentitiesType** out);
/* Tracing works whether or not the library is initialised. -3 for a null
 * argument or an empty file name; -210 when the category ("Vosk_All":
 * every category) is traced already. */
ORVANE_EXPORT int FabAPI_StartTracing(FabAPI_TraceID* traceId, const char* fileName);
/* -3 for a null argument; -97 when the category ("Vosk_All": every
 * category) is not being traced. */
ORVANE_EXPORT int FabAPI_StopTracing(FabAPI_TraceID* traceId);
/* -3 for a null argument; -97 when the category is not being traced; -212
 * when its log refuses the message. */
ORVANE_EXPORT int FabAPI_Trace(FabAPI_TraceID* traceId, const char* message);

/* Sessions. A session is open on one fabric at a time and is named by the
 * fabric's identifier (type 9 and its world wide name: 20 characters).
 * Besides the codes named beside each: -3 for a null argument or a fabric
 * identifier longer than 20 characters, -202 for a session that is not
 * open, -98 before start-up, -216 once shutdown has begun, -2 when memory
 * runs out, and a translated connection or request failure (among them -14
 * the login refused or the switch not ready, -56 the switch did not
 * answer, -4 no connection to the proxy switch, -86 the switch stayed
 * busy). */

/* Opens a session on a fabric of the last discovery, whose identifier is
 * the first field of `identity` (the proxy switches come from that
 * discovery), logging in on its newest proxy switch, and builds the
 * fabric's object tree. Returns 0, or 500 when the tree lacks the
 * inter-switch links; -92 when the fabric has a session already, -93 when
 * it was not discovered, -219 when the proxy switch now reports another
 * fabric, or a connection failure. Free *out with falFreeObject. */
ORVANE_EXPORT int FabAPI_EstablishSession(FabAPI_FabricIdentity* identity,
                                          FabAPI_ClientSessionID** out);
/* The fabric's signature as it is now: 0, or 502 when the session's object
 * tree lacks the fabric or one of its switches (*out is set either way). */
ORVANE_EXPORT int FabAPI_GetFabricSignature(FabAPI_ClientSessionID* session,
                                            FabAPI_FabricSignature** out);
/* Works whether or not the library is initialised. *result: 0 the same
 * fabric and switches, -1 (1) the same fabric where the first has fewer
 * (more) switches, all of them in the other, -2 another fabric or switch
 * sets that do not contain one another. */
ORVANE_EXPORT int FabAPI_CompareFabricSignatures(FabAPI_FabricSignature* first,
                                                 FabAPI_FabricSignature* second, int* result);
/* Rebuilds the session's object tree from the fabric as it is now and hands
 * out the fresh signature: 0, or 501 when the fabric is in secure mode and
 * does not confirm the session; -96 when the fabric's name or level changed
 * (a new session is needed), its tree could not be rebuilt or the switch
 * could not be asked; -209 when the fabric cannot be read any more. */
ORVANE_EXPORT int FabAPI_SyncSession(FabAPI_ClientSessionID* session, FabAPI_FabricSignature** out);
/* The open sessions, in ascending order of their identifiers: 0; -3 for a
 * null `out`. */
ORVANE_EXPORT int FabAPI_ListSessions(FabAPI_ClientSessionIDList** out);
/* Copies the session's identifier (48 characters) into `fabricOid`: 0; -3
 * for a null argument (the session is not checked). */
ORVANE_EXPORT int FabAPI_GetFabricOidFromSession(FabAPI_ClientSessionID* session, char* fabricOid);
/* Closes a session: its objects go. Waits for every call in flight.
 * Returns 0; -202 when there is no such session, -43 while a firmware
 * download runs. */
ORVANE_EXPORT int FabAPI_CloseSession(FabAPI_ClientSessionID* session);
/* Closes every session and empties the object store; -214 while sessions
 * of EstablishFabricSession are open. */
ORVANE_EXPORT int FabAPI_CloseSessions(void);

/* The older session calls: the session is named by the fabric identifier.
 * EstablishFabricSession gives every proxy switch of the fabric the user
 * name and password and returns 0 (also when the tree lacks its links), or
 * the codes of FabAPI_EstablishSession. */
ORVANE_EXPORT int EstablishFabricSession(const OID_t* fabric, const char* user,
                                         const char* password);
ORVANE_EXPORT int CloseFabricSession(const OID_t* fabric);
/* Closes every session of EstablishFabricSession, empties the object store
 * and shuts the library down (the proxy list stays); -214 while sessions
 * of FabAPI_EstablishSession are open, -43 while a firmware download runs. */
ORVANE_EXPORT int CloseFabricSessions(void);

/* Exported for compatibility: fnOrvane returns 42; nOrvane is not used. */
ORVANE_EXPORT int fnOrvane(void);
ORVANE_EXPORT extern int nOrvane;

ORVANE_END_DECLS

#ifdef __cplusplus
/* Exported for compatibility; holds nothing. */
class ORVANE_EXPORT COrvane {
public:
    COrvane();
    COrvane& operator=(const COrvane& other);
};
#endif

#endif
