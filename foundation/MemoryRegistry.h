// The caller-block registry: every block handed to a caller is registered
// here with the allocator that made it, so that it can be given back through
// that allocator, nested parts included, and anything else can be refused.
#pragma once

#include <cstddef>
#include <unordered_map>

#include "foundation/Mem_Allocator_Ifc.h"

class MemoryRegistry {
public:
    MemoryRegistry() = default;
    MemoryRegistry(const MemoryRegistry&) = delete;
    MemoryRegistry& operator=(const MemoryRegistry&) = delete;
    // Frees every block still registered, each through its own allocator,
    // in address order.
    ~MemoryRegistry();

    // The process-wide registry, made on first use. Its blocks are freed at
    // process exit; the registry itself stays usable until the very end.
    static MemoryRegistry& instance();

    // Under the registry lock: a block from `allocator`, registered; null
    // (nothing registered) when the allocator has none.
    void* allocate(int count, Mem_Allocator_Ifc* allocator);
    // Under the registry lock: frees a registered block through its
    // allocator and forgets it (0); -13 for null or an unknown address.
    int release(void* block);
    // Whether `block` is the exact address of a registered block.
    bool contains(const void* block) const;
    size_t size() const;

    // Frees every registered block and empties the map, without the lock.
    void releaseAll();

private:
    // Each block and its allocator; hashed, since a walk of a large fabric
    // registers and frees tens of thousands of blocks.
    std::unordered_map<void*, Mem_Allocator_Ifc*> blocks_;
};

// A block from `allocator`, registered; null when it has none.
void* AllocateTracked(int count, Mem_Allocator_Ifc* allocator);
// `count` zero-filled bytes, registered; null when out of memory.
void* AllocateTrackedBytes(int count);
// Frees a registered block through its allocator: 0; -13 for a null pointer
// or any address the registry did not hand out (interior pointers included).
int FreeTracked(void* block);
