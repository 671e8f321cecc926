#include "foundation/MemoryRegistry.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "foundation/CallerAllocators.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "orvane/status.h"

namespace {

constexpr int kNotHandedOut = FABAPI_ERR_UNKNOWN_BLOCK;

// Holds the caller-block registry lock. It is innermost: only the map and
// the one allocator call that goes with it run under it.
class RegistryGuard {
public:
    RegistryGuard() : guard_(getMemoryRegistryMutex()) {}

private:
    LockGuard guard_;
};

// Frees the process-wide registry's blocks when the process ends.
struct RegistryExitRelease {
    MemoryRegistry* registry;
    ~RegistryExitRelease() { registry->releaseAll(); }
};

} // namespace

MemoryRegistry::~MemoryRegistry() {
    releaseAll();
}

MemoryRegistry& MemoryRegistry::instance() {
    // Never destroyed, so a late free from another exit handler still finds
    // a valid (empty) registry; the blocks go back at exit all the same.
    static MemoryRegistry* const registry = new MemoryRegistry;
    static RegistryExitRelease exitRelease{registry};
    return *registry;
}

void* MemoryRegistry::allocate(int count, Mem_Allocator_Ifc* allocator) {
    if (allocator == nullptr) {
        return nullptr;
    }
    RegistryGuard guard;
    void* block = allocator->allocate(count);
    if (block != nullptr) {
        blocks_.insert_or_assign(block, allocator);
    }
    return block;
}

int MemoryRegistry::release(void* block) {
    if (block == nullptr) {
        return kNotHandedOut;
    }
    RegistryGuard guard;
    // Exact lookup: an address inside a registered block is not the block.
    auto found = blocks_.find(block);
    if (found == blocks_.end()) {
        return kNotHandedOut;
    }
    Mem_Allocator_Ifc* allocator = found->second;
    blocks_.erase(found);
    allocator->free(block);
    return 0;
}

bool MemoryRegistry::contains(const void* block) const {
    RegistryGuard guard;
    return blocks_.count(const_cast<void*>(block)) != 0;
}

size_t MemoryRegistry::size() const {
    RegistryGuard guard;
    return blocks_.size();
}

void MemoryRegistry::releaseAll() {
    std::vector<std::pair<void*, Mem_Allocator_Ifc*>> inOrder(blocks_.begin(), blocks_.end());
    std::sort(inOrder.begin(), inOrder.end(), [](const auto& a, const auto& b) {
        return std::less<void*>()(a.first, b.first);
    });
    blocks_.clear();
    for (const auto& [block, allocator] : inOrder) {
        allocator->free(block);
    }
}

void* AllocateTracked(int count, Mem_Allocator_Ifc* allocator) {
    return MemoryRegistry::instance().allocate(count, allocator);
}

void* AllocateTrackedBytes(int count) {
    return AllocateTracked(count, Mem_Allocator_Impl_Bytes::instance());
}

int FreeTracked(void* block) {
    return MemoryRegistry::instance().release(block);
}
