/* Discovers the fabrics behind a set of proxy switches and prints them,
 * then opens a session on each fabric, prints its signature and closes it.
 *
 *   orvane_demo [-u user] [address ...]
 *
 * The proxy addresses come from the command line or, when none is given,
 * from the file that FABRIC_CONFIG_FILE names (one address a line). With a
 * user name (and the password in ORVANE_DEMO_PASSWORD) discovery logs in
 * and also reads each fabric's switches, and the sessions log in. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/status.h"

/* The world wide name part of an identifier ("0009" + 16 digits) as
 * "10:00:00:60:69:10:00:01". */
static void printName(const char* oid) {
    for (int i = 0; i < 8; ++i) {
        printf("%s%.2s", i == 0 ? "" : ":", oid + 4 + 2 * i);
    }
}

static int check(const char* what, int status) {
    if (status != 0) {
        fprintf(stderr, "orvane_demo: %s failed with status %d\n", what, status);
    }
    return status;
}

static void printEntries(const char* indent, const char* title, const FabAPI_ProxyEntry* entries,
                         int count) {
    printf("%s%s (%d):\n", indent, title, count);
    for (int i = 0; i < count; ++i) {
        printf("%s  %s%s%s\n", indent, entries[i].pcHostName, entries[i].pcUser[0] ? "  user " : "",
               entries[i].pcUser);
    }
}

/* Gives every listed proxy the user name and password. */
static int addCredentials(const char* user, const char* password) {
    FabAPI_ProxyEntryList* list = NULL;
    int status = check("listing the proxy switches", FabAPI_ListProxyEntries(&list));
    for (int i = 0; status == 0 && i < list->count; ++i) {
        FabAPI_ProxyEntry entry = {list->entries[i].pcHostName, (char*)user, (char*)password};
        status = FabAPI_RemoveProxyEntry(&entry);
        if (status == 0) {
            status = FabAPI_AppendProxyEntry(&entry);
        }
        check("setting the login of a proxy switch", status);
    }
    if (list != NULL) {
        falFreeObject(list);
    }
    return status;
}

static void printSwitches(const FabAPI_FabricSignature* signature) {
    printf("  switches (%d):\n", signature->count);
    for (int s = 0; s < signature->count; ++s) {
        printf("    ");
        printName(signature->structSwitchOIDs[s]);
        printf("\n");
    }
}

/* Opens a session on the fabric, prints the fabric as the session reads it
 * now, and closes the session. */
static int visitFabric(FabAPI_FabricIdentity* fabric) {
    FabAPI_ClientSessionID* session = NULL;
    int status = FabAPI_EstablishSession(fabric, &session);
    printf("Session on fabric ");
    printName(fabric->structFabSig.structFabricOID);
    if (status != 0 && status != FABAPI_WARN_NO_LINKS) {
        printf(": not opened (status %d)\n", status);
        return status;
    }
    printf(": opened as %.48s\n", session->structSessionID);
    FabAPI_FabricSignature* signature = NULL;
    status = FabAPI_GetFabricSignature(session, &signature);
    if (status == 0 || status == FABAPI_WARN_SIGNATURE_DIFFERS) {
        printf("  signature: fabric %.48s\n", signature->structFabricOID);
        printSwitches(signature);
        falFreeObject(signature);
        status = 0;
    } else {
        check("FabAPI_GetFabricSignature", status);
    }
    const int closed = check("FabAPI_CloseSession", FabAPI_CloseSession(session));
    if (closed == 0) {
        printf("  session closed\n");
    }
    falFreeObject(session);
    return status != 0 ? status : closed;
}

static int run(int argc, char** argv) {
    const char* user = "";
    int first = 1;
    if (argc >= 3 && strcmp(argv[1], "-u") == 0) {
        user = argv[2];
        first = 3;
    }
    const char* password = user[0] != '\0' ? getenv("ORVANE_DEMO_PASSWORD") : NULL;
    if (password == NULL) {
        password = "";
    }

    /* Without addresses the library reads FABRIC_CONFIG_FILE. */
    int status =
        check("InitializeFabricAccess", InitializeFabricAccess(first < argc ? argv + first : NULL));
    if (status == 0 && user[0] != '\0') {
        status = addCredentials(user, password);
    }

    FabAPI_ProxyEntryList* proxies = NULL;
    if (status == 0 && check("FabAPI_ListProxyEntries", FabAPI_ListProxyEntries(&proxies)) == 0) {
        printEntries("", "Proxy switches", proxies->entries, proxies->count);
        falFreeObject(proxies);
    }

    FabAPI_FabricDiscoveryInfo* info = NULL;
    if (status == 0) {
        status = check("FabAPI_DiscoverFabrics", FabAPI_DiscoverFabrics(&info));
    }
    if (status == 0) {
        printf("\nFabrics found: %d\n", info->identityCount);
        for (int f = 0; f < info->identityCount; ++f) {
            const FabAPI_FabricIdentity* fabric = &info->structFabIdentities[f];
            printf("Fabric ");
            printName(fabric->structFabSig.structFabricOID);
            printf("  (%.48s)\n", fabric->structFabSig.structFabricOID);
            if (fabric->structFabSig.count == 0) {
                printf("  switches: not read (no login)\n");
            } else {
                printSwitches(&fabric->structFabSig);
            }
            printEntries("  ", "seen through proxy switches", fabric->entries, fabric->count);
        }
        printf("\n");
        printEntries("", "Unreachable proxy switches", info->structUnreachableEntries,
                     info->unreachableCount);
        printEntries("", "Proxy switches without a fabric name", info->structUnstableEntries,
                     info->unstableCount);
        if (user[0] != '\0') {
            printf("\n");
            for (int f = 0; f < info->identityCount; ++f) {
                if (visitFabric(&info->structFabIdentities[f]) != 0) {
                    status = 1;
                }
            }
        }
        falFreeObject(info);
    }
    check("FabAPI_ShutdownFabricAPI", FabAPI_ShutdownFabricAPI());
    return status == 0 ? 0 : 1;
}

int main(int argc, char** argv) {
    return run(argc, argv);
}
