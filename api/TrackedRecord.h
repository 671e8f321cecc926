// A caller block being filled: registered with its allocator when made,
// freed again unless released to the caller.
#pragma once

#include <new>
#include <utility>

#include "foundation/InternalStatus.h"
#include "foundation/MemoryRegistry.h"

template <class Record> class TrackedRecord {
public:
    // Throws std::bad_alloc when the allocator has no block.
    explicit TrackedRecord(Mem_Allocator_Ifc* allocator, int count = 1)
        : record(static_cast<Record*>(AllocateTracked(count, allocator))) {
        if (record == nullptr) {
            throw std::bad_alloc();
        }
    }
    // Takes a registered block that the caller does not keep.
    explicit TrackedRecord(Record* block) : record(block) {}
    ~TrackedRecord() {
        if (record != nullptr) {
            FreeTracked(record);
        }
    }
    TrackedRecord(const TrackedRecord&) = delete;
    TrackedRecord& operator=(const TrackedRecord&) = delete;

    Record* release() { return std::exchange(record, nullptr); }

    Record* record = nullptr;
};

// Out of memory in a converter of the request layer becomes std::bad_alloc.
inline void throwIfNoMemory(int status) {
    if (status == REQ_ERR_NO_MEMORY) {
        throw std::bad_alloc();
    }
}
