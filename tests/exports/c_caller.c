/* A caller written in C: the public headers must compile as C and the
 * exports must be callable from it. */
#include "c_caller.h"

#include "orvane/fabapi.h"
#include "orvane/objects.h"

int c_freeObject(const void* block) {
    return falFreeObject(block);
}

int c_identitiesRowHoldsNameThenList(void) {
    FabricIdentitiesType row = {{0}, 0};
    return (void*)&row.fabricOID == (void*)&row && sizeof row.fabricOID == 48;
}
