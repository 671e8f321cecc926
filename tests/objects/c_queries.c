/* A caller of the object queries written in C: the public headers compile
 * as C and the records are read through their declared fields. */
#include "c_queries.h"

#include <string.h>

#include "orvane/objects.h"
#include "orvane/records.h"

int c_listLength(void** list) {
    int n = 0;
    while (list != NULL && list[n] != NULL) {
        ++n;
    }
    return n;
}

int c_freeList(void** list) {
    int failure = 0;
    int i;
    for (i = 0; list != NULL && list[i] != NULL; ++i) {
        int status = falFreeObject(list[i]);
        if (status != 0 && failure == 0) {
            failure = status;
        }
    }
    if (list != NULL) {
        int status = falFreeObject(list);
        if (status != 0 && failure == 0) {
            failure = status;
        }
    }
    return failure;
}

int c_recordType(const void* record) {
    return ((const ErrorRecord*)record)->ObjType;
}

int c_fabricListLength(const void* record, int which) {
    const FabricRecord* fabric = (const FabricRecord*)record;
    OID_t* lists[4];
    int n = 0;
    lists[0] = fabric->SwitchOIDs;
    lists[1] = fabric->PlatformOIDs;
    lists[2] = fabric->ProxyOIDs;
    lists[3] = fabric->ISLOIDs;
    while (lists[which][n][0] != '\0') {
        ++n;
    }
    return n;
}

int c_getTwo(const char* first, const char* second, void*** records) {
    char list[3 * sizeof(OID_t)];
    memset(list, 0, sizeof list);
    strncpy(list, first, sizeof(OID_t) - 1);
    strncpy(list + sizeof(OID_t), second, sizeof(OID_t) - 1);
    return GetObjects(list, records);
}
