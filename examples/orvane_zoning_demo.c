/* Zoning through the public interface: opens a session on the fabric behind
 * one proxy switch, creates two zone members, a zone of them and a zone set
 * of that zone inside a zoning transaction, the zone set activated at once
 * (which commits the transaction), and prints the active database; then
 * creates a second zone inside a new transaction, rolls it back and shows
 * the defined database as it was.
 *
 *   orvane_zoning_demo -u user address
 *
 * The password comes from ORVANE_DEMO_PASSWORD. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/oid.h"
#include "orvane/records.h"
#include "orvane/status.h"

#define TRANSACTION_ACTIVE 0xA0B23u

static int check(const char* what, int status) {
    if (status != 0) {
        fprintf(stderr, "orvane_zoning_demo: %s failed with status %d\n", what, status);
    }
    return status;
}

/* The identifier of the fabric's object of `type` (four hex digits): the
 * type followed by the fabric's name digits. */
static void objectOfFabric(const char* fabric, const char* type, char* oid) {
    memset(oid, 0, sizeof(OID_t));
    memcpy(oid, type, 4);
    strncpy(oid + 4, fabric + 4, 16);
}

static int setTransaction(const char* capabilities, unsigned short open) {
    return AddObjectAttributes(capabilities, TRANSACTION_ACTIVE, &open);
}

/* A free zone member of domain `domain`, port `port`. */
static int createMember(const char* fabric, int domain, int port, char* oid) {
    ZoneMemberRecord record;
    memset(&record, 0, sizeof record);
    record.ObjType = 22;
    int status = EncodeDomainPortRef(domain, port, record.targetOid);
    if (status == 0) {
        status = CreateFabricObject(fabric, &record, oid);
    }
    return check("creating a zone member", status);
}

static int createZone(const char* fabric, const char* name, const char* members, char* oid) {
    ZoneRecord record;
    memset(&record, 0, sizeof record);
    record.ObjType = 10;
    record.pcZoneName = (char*)name;
    record.zoneType = 1;
    record.pcMemberOids = (char*)members;
    return check("creating a zone", CreateFabricObject(fabric, &record, oid));
}

/* The name a zone or zone set record carries; "?" when it cannot be read. */
static void printObjectName(const char* oid) {
    void* record = NULL;
    if (GetSingleObject(oid, &record) != 0 || record == NULL) {
        printf(" ?");
    } else if (*(unsigned short*)record == 10) {
        printf(" %s", ((ZoneRecord*)record)->pcZoneName);
    } else if (*(unsigned short*)record == 11) {
        printf(" %s", ((ZoneSetObjectRecord*)record)->pcZoneSetName);
    }
    if (record != NULL) {
        falFreeObject(record);
    }
}

static void printList(const char* title, OID_t* list) {
    printf("  %s:", title);
    for (; list != NULL && list[0][0] != '\0'; ++list) {
        printObjectName(*list);
    }
    printf("\n");
}

static int printDefined(const char* fabric) {
    char oid[sizeof(OID_t)];
    objectOfFabric(fabric, "0018", oid);
    void* record = NULL;
    if (check("reading the defined database", GetSingleObject(oid, &record)) != 0) {
        return 1;
    }
    const FullZoneDBRecord* defined = (const FullZoneDBRecord*)record;
    printf("defined zoning database:\n");
    printList("zone sets", defined->pcZoneSetOids);
    printList("zones", defined->pcZoneOids);
    falFreeObject(record);
    return 0;
}

static int printActive(const char* fabric) {
    char oid[sizeof(OID_t)];
    objectOfFabric(fabric, "0019", oid);
    void* record = NULL;
    if (check("reading the active database", GetSingleObject(oid, &record)) != 0) {
        return 1;
    }
    const ActiveZoneDBRecord* active = (const ActiveZoneDBRecord*)record;
    printf("active zoning database: zone set %s\n", active->pcActiveZoneSetName);
    int zones = 0;
    for (OID_t* zone = active->pcMemberOids; zone != NULL && zone[0][0] != '\0'; ++zone) {
        ++zones;
    }
    printf("  %d zone(s)\n", zones);
    falFreeObject(record);
    return 0;
}

static int openSession(const char* address, const char* user, const char* password,
                       char* fabric) {
    FabAPI_ProxyEntry entry = {(char*)address, (char*)user, (char*)password};
    if (check("adding the proxy switch", FabAPI_AppendProxyEntry(&entry)) != 0) {
        return 1;
    }
    FabAPI_FabricDiscoveryInfo* info = NULL;
    if (check("discovering the fabric", FabAPI_DiscoverFabrics(&info)) != 0) {
        return 1;
    }
    if (info->identityCount < 1) {
        fprintf(stderr, "orvane_zoning_demo: no fabric behind %s\n", address);
        falFreeObject(info);
        return 1;
    }
    FabAPI_FabricIdentity identity = info->structFabIdentities[0];
    memcpy(fabric, identity.structFabSig.structFabricOID, sizeof(OID_t));
    FabAPI_ClientSessionID* session = NULL;
    const int status = check("opening the session", FabAPI_EstablishSession(&identity, &session));
    falFreeObject(info);
    if (session != NULL) {
        falFreeObject(session);
    }
    if (status != 0) {
        return 1;
    }
    void** records = NULL;
    if (GetAllObjects(&records) == 0 || records != NULL) {
        for (void** r = records; r != NULL && *r != NULL; ++r) {
            falFreeObject(*r);
        }
        falFreeObject(records);
    }
    return 0;
}

static int run(const char* address, const char* user, const char* password) {
    char fabric[sizeof(OID_t)];
    if (openSession(address, user, password, fabric) != 0) {
        return 1;
    }
    char capabilities[sizeof(OID_t)];
    objectOfFabric(fabric, "0015", capabilities);
    printf("fabric %s\n", fabric);

    /* Zone, zone set and activation in one transaction. */
    char members[3 * sizeof(OID_t)];
    memset(members, 0, sizeof members);
    if (createMember(fabric, 1, 4, members) != 0 ||
        createMember(fabric, 1, 5, members + sizeof(OID_t)) != 0) {
        return 1;
    }
    if (check("starting a zoning transaction", setTransaction(capabilities, 1)) != 0) {
        return 1;
    }
    char zones[2 * sizeof(OID_t)];
    memset(zones, 0, sizeof zones);
    if (createZone(fabric, "demo_zone", members, zones) != 0) {
        return 1;
    }
    printf("created zone demo_zone: %s\n", zones);
    ZoneSetObjectRecord zoneSet;
    memset(&zoneSet, 0, sizeof zoneSet);
    zoneSet.ObjType = 11;
    zoneSet.pcZoneSetName = (char*)"demo_cfg";
    zoneSet.activateZoneSet = 1;
    zoneSet.pcMemberOids = (OID_t*)zones;
    char zoneSetOid[sizeof(OID_t)] = {0};
    if (check("creating and activating a zone set",
              CreateFabricObject(fabric, &zoneSet, zoneSetOid)) != 0) {
        return 1;
    }
    printf("created and activated zone set demo_cfg: %s (the activation commits)\n", zoneSetOid);
    if (printActive(fabric) != 0 || printDefined(fabric) != 0) {
        return 1;
    }

    /* A zone made inside a transaction that is rolled back. */
    char more[2 * sizeof(OID_t)];
    memset(more, 0, sizeof more);
    if (createMember(fabric, 2, 1, more) != 0 ||
        check("starting a zoning transaction", setTransaction(capabilities, 1)) != 0) {
        return 1;
    }
    char extra[sizeof(OID_t)] = {0};
    if (createZone(fabric, "demo_extra", more, extra) != 0) {
        return 1;
    }
    printf("\ncreated zone demo_extra inside a new transaction:\n");
    if (printDefined(fabric) != 0) {
        return 1;
    }
    if (check("rolling the transaction back", setTransaction(capabilities, 0)) != 0) {
        return 1;
    }
    printf("rolled back:\n");
    return printDefined(fabric);
}

int main(int argc, char** argv) {
    const char* user = "";
    const char* address = NULL;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "-u") == 0 && i + 1 < argc) {
            user = argv[++i];
        } else {
            address = argv[i];
        }
    }
    const char* password = getenv("ORVANE_DEMO_PASSWORD");
    if (address == NULL) {
        fprintf(stderr, "usage: orvane_zoning_demo -u user address\n");
        return 2;
    }
    if (check("starting the library", FabAPI_InitializeFabricAPI(NULL)) != 0) {
        return 1;
    }
    const int failed = run(address, user, password != NULL ? password : "");
    FabAPI_CloseSessions();
    FabAPI_ShutdownFabricAPI();
    return failed;
}
