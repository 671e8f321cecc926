#include "objects/gorlib.h"

#include <climits>

#include "foundation/MemoryRegistry.h"

void* falAllocObject(size_t size) {
    if (size > static_cast<size_t>(INT_MAX)) {
        return nullptr;
    }
    return AllocateTrackedBytes(static_cast<int>(size));
}

int falFreeObject(const void* block) {
    try {
        // The registry owns the block; constness only guards the caller's view.
        return FreeTracked(const_cast<void*>(block));
    } catch (...) {
        return -2; // no exception leaves an export
    }
}
