// An allocator of caller blocks: makes one kind of block and frees it again,
// nested parts included. The caller-block registry remembers, for each block
// it hands out, the allocator that made it.
#pragma once

class Mem_Allocator_Ifc {
public:
    // A new block for `count` units (what a unit is depends on the
    // allocator), or null when the memory cannot be had.
    virtual void* allocate(int count) = 0;
    // Frees a block this allocator made, with everything it owns.
    virtual void free(void* block) = 0;

protected:
    // Implementations are process-wide singletons that are never destroyed.
    ~Mem_Allocator_Ifc() = default;
};
