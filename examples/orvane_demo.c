/* Discovers the fabrics behind a set of proxy switches and prints them,
 * then opens a session on each fabric, prints its signature, each switch
 * with its address, firmware, port count and attached devices, and the
 * count of each object type that GetAllObjects returns, and closes it.
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
/* The name of an object type code, or NULL for one not listed here. */
static const char* typeName(unsigned short type) {
    static const struct {
        unsigned short type;
        const char* name;
    } names[] = {
        {1, "Port"},
        {2, "Switch"},
        {4, "Node"},
        {5, "Device"},
        {9, "Fabric"},
        {10, "Zone"},
        {11, "ZoneConfig"},
        {15, "Platform"},
        {17, "Route"},
        {18, "PortStats"},
        {19, "PortErrors"},
        {20, "ZoneAlias"},
        {21, "ZoningCapabilities"},
        {22, "ZoneMember"},
        {23, "PortModule"},
        {24, "FullZoneDB"},
        {25, "ActiveZoneDB"},
        {32, "SecurityCapabilities"},
        {33, "ActivePolicySet"},
        {34, "ActivePolicy"},
        {35, "PhysicalSwitchGroup"},
        {38, "EnclosureObject"},
        {39, "LicensedProduct"},
        {48, "DefinedPolicySet"},
        {49, "DefinedPolicy"},
        {50, "SecurityStats"},
        {51, "CP"},
        {52, "WWNCard"},
        {53, "Blade"},
        {61, "FAN"},
        {62, "TempSensor"},
        {63, "PowerSupply"},
        {64, "ISL"},
        {0xFF00, "error record"},
    };
    for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i) {
        if (names[i].type == type) {
            return names[i].name;
        }
    }
    return NULL;
}

static int sameOid(const char* a, const char* b) {
    return strncmp(a, b, sizeof(OID_t)) == 0;
}

static unsigned short recordType(const void* record) {
    return *(const unsigned short*)record;
}

/* The record of `oid` among `records`, or NULL. */
static const void* findRecord(void* const* records, const char* oid) {
    for (; *records != NULL; ++records) {
        /* Every record starts with its type and its identifier. */
        const ErrorRecord* head = (const ErrorRecord*)*records;
        if (sameOid(head->OID, oid)) {
            return *records;
        }
    }
    return NULL;
}

static void printText(const char* label, const char* text, int length) {
    printf("  %s %.*s", label, length > 0 ? length : 1, length > 0 ? text : "-");
}

/* Each switch of the records: its name, management address, firmware and
 * port count, then the hosts and storage attached to its ports. */
static void printSwitchDetails(void* const* records) {
    for (void* const* entry = records; *entry != NULL; ++entry) {
        if (recordType(*entry) != 2) {
            continue;
        }
        const SwitchRecord* sw = (const SwitchRecord*)*entry;
        int ports = 0;
        for (void* const* other = records; *other != NULL; ++other) {
            if (recordType(*other) == 23 &&
                sameOid(((const PortModuleRecord*)*other)->OwnerOID, sw->OID)) {
                ports += ((const PortModuleRecord*)*other)->ModulePortCount;
            }
        }
        printf("    ");
        printName(sw->OID);
        printText("name", sw->SwitchName.Text, sw->SwitchName.Length);
        printText("address", sw->OutBandAddr,
                  (int)strnlen(sw->OutBandAddr, sizeof sw->OutBandAddr));
        printText("firmware", sw->FirmwareVersion.Text, sw->FirmwareVersion.Length);
        printf("  ports %d\n", ports);
        for (void* const* other = records; *other != NULL; ++other) {
            if (recordType(*other) != 1) {
                continue;
            }
            const PortRecord* port = (const PortRecord*)*other;
            const PortModuleRecord* module = findRecord(records, port->OwnerOID);
            if (module == NULL || recordType(module) != 23 || !sameOid(module->OwnerOID, sw->OID)) {
                continue;
            }
            for (const OID_t* attached = port->AttachedPortOIDs;
                 attached != NULL && (*attached)[0] != '\0'; ++attached) {
                const PortRecord* device = findRecord(records, *attached);
                if (device == NULL || recordType(device) != 1 ||
                    (device->PortType != ORVANE_PORT_N && device->PortType != ORVANE_PORT_NL)) {
                    continue;
                }
                printf("      port %-3u %-7s ", port->PortNumber,
                       device->PortType == ORVANE_PORT_N ? "N_Port" : "NL_Port");
                printName(device->OID);
                printf("  %.*s\n", device->PortSymbolicNameLength, device->PortSymbolicName);
            }
        }
    }
}

/* Reads every object of the fabrics with a session (here the one just
 * opened), prints its switches and how many records of each type came
 * back. */
static void printObjectCounts(void) {
    enum { kMaxTypes = 64 };
    unsigned short types[kMaxTypes];
    int counts[kMaxTypes];
    int distinct = 0;
    int total = 0;
    void** records = NULL;
    const int status = GetAllObjects(&records);
    if (records == NULL) {
        printf("  objects: not read (status %d)\n", status);
        return;
    }
    printf("  switches as read:\n");
    printSwitchDetails(records);
    for (; records[total] != NULL; ++total) {
        const unsigned short type = recordType(records[total]);
        int slot = 0;
        while (slot < distinct && types[slot] != type) {
            ++slot;
        }
        if (slot == distinct && distinct < kMaxTypes) {
            types[distinct] = type;
            counts[distinct++] = 0;
        }
        if (slot < distinct) {
            ++counts[slot];
        }
        falFreeObject(records[total]);
    }
    falFreeObject(records);
    printf("  objects (%d, status %d):\n", total, status);
    for (int i = 0; i < distinct; ++i) {
        const char* name = typeName(types[i]);
        if (name != NULL) {
            printf("    %-22s %d\n", name, counts[i]);
        } else {
            printf("    type 0x%04x%*s %d\n", types[i], 11, "", counts[i]);
        }
    }
}

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
        printObjectCounts();
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
