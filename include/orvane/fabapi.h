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
 * a status code of orvane/status.h. */

/* Initialises the library and empties the proxy list (-99 when it is
 * initialised already). The configuration list is not used. */
ORVANE_EXPORT int FabAPI_InitializeFabricAPI(FabAPI_ConfigEntry* config);
/* Stops the library; the proxy list is emptied. */
ORVANE_EXPORT int FabAPI_ShutdownFabricAPI(void);
ORVANE_EXPORT int FabAPI_AppendProxyEntry(FabAPI_ProxyEntry* entry);
ORVANE_EXPORT int FabAPI_RemoveProxyEntry(FabAPI_ProxyEntry* entry);
ORVANE_EXPORT int FabAPI_ListProxyEntries(FabAPI_ProxyEntryList** out);
ORVANE_EXPORT int FabAPI_DiscoverFabrics(FabAPI_FabricDiscoveryInfo** out);
/* Initialises the library when needed and replaces the proxy list by the
 * addresses given (ended by a null pointer or an empty text) or, with
 * null, by those in the file named by FABRIC_CONFIG_FILE. */
ORVANE_EXPORT int InitializeFabricAccess(char** addresses);
/* Discovers the fabrics of the proxy list into a fabric identities table. */
ORVANE_EXPORT int GetFabricIdentities(FabricIdentitiesType** out);
ORVANE_EXPORT int FabAPI_StartTracing(FabAPI_TraceID* traceId, const char* fileName);
ORVANE_EXPORT int FabAPI_StopTracing(FabAPI_TraceID* traceId);
ORVANE_EXPORT int FabAPI_Trace(FabAPI_TraceID* traceId, const char* message);

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
