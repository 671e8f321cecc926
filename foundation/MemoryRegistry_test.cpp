#include "foundation/MemoryRegistry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "foundation/CallerAllocators.h"
#include "orvane/fabapi.h"

namespace {

// Hands out nothing, as an allocator does when the heap is exhausted.
class ExhaustedAllocator final : public Mem_Allocator_Ifc {
public:
    void* allocate(int) override { return nullptr; }
    void free(void*) override { ++frees; }
    int frees = 0;
};

// Counts the blocks it frees.
class CountingAllocator final : public Mem_Allocator_Ifc {
public:
    void* allocate(int count) override { return std::calloc(1, count > 0 ? count : 1); }
    void free(void* block) override {
        ++frees;
        std::free(block);
    }
    int frees = 0;
};

TEST(MemoryRegistryTest, RefusesWhatItDidNotHandOut) {
    EXPECT_EQ(FreeTracked(nullptr), -13);

    void* foreign = std::malloc(16);
    EXPECT_EQ(FreeTracked(foreign), -13);
    std::free(foreign);

    auto* block = static_cast<char*>(AllocateTrackedBytes(32));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(FreeTracked(block + 1), -13) << "interior pointer must not be freed";
    EXPECT_EQ(FreeTracked(block + 31), -13);
    EXPECT_TRUE(MemoryRegistry::instance().contains(block));
    EXPECT_EQ(FreeTracked(block), 0);
    EXPECT_EQ(FreeTracked(block), -13) << "double free";
}

TEST(MemoryRegistryTest, BytesAreZeroFilledAndEachBlockHasItsOwnAddress) {
    auto* bytes = static_cast<unsigned char*>(AllocateTrackedBytes(64));
    ASSERT_NE(bytes, nullptr);
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(bytes[i], 0) << i;
    }
    void* empty1 = AllocateTrackedBytes(0);
    void* empty2 = AllocateTrackedBytes(0);
    ASSERT_NE(empty1, nullptr);
    EXPECT_NE(empty1, empty2);
    EXPECT_EQ(AllocateTrackedBytes(-1), nullptr);
    EXPECT_EQ(FreeTracked(bytes), 0);
    EXPECT_EQ(FreeTracked(empty1), 0);
    EXPECT_EQ(FreeTracked(empty2), 0);
}

TEST(MemoryRegistryTest, FailedAllocationRegistersNothing) {
    ExhaustedAllocator exhausted;
    const size_t before = MemoryRegistry::instance().size();
    EXPECT_EQ(AllocateTracked(8, &exhausted), nullptr);
    EXPECT_EQ(AllocateTracked(8, nullptr), nullptr);
    EXPECT_EQ(MemoryRegistry::instance().size(), before);
    EXPECT_EQ(FreeTracked(nullptr), -13);
    EXPECT_EQ(exhausted.frees, 0);
}

TEST(MemoryRegistryTest, FreesThroughTheAllocatorThatMadeTheBlock) {
    CountingAllocator counting;
    void* block = AllocateTracked(8, &counting);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(FreeTracked(block), 0);
    EXPECT_EQ(counting.frees, 1);
}

TEST(MemoryRegistryTest, DestructorFreesBlocksStillRegistered) {
    CountingAllocator counting;
    {
        MemoryRegistry registry;
        ASSERT_NE(registry.allocate(4, &counting), nullptr);
        ASSERT_NE(registry.allocate(4, &counting), nullptr);
        // A record with nested parts is freed whole (LeakSanitizer checks).
        auto* list = static_cast<FabAPI_ProxyEntryList*>(
            registry.allocate(0, Mem_Alloc_Impl_FabAPI_ProxyEntryList::instance()));
        ASSERT_NE(list, nullptr);
        list->entries = static_cast<FabAPI_ProxyEntry*>(std::calloc(1, sizeof(FabAPI_ProxyEntry)));
        list->count = 1;
        list->entries[0].pcHostName = strdup("127.66.0.1");
        EXPECT_EQ(registry.size(), 3u);
    }
    EXPECT_EQ(counting.frees, 2);
}

// Reports each free on standard error, so that a child process can show
// what happened while it exited.
class ReportingAllocator final : public Mem_Allocator_Ifc {
public:
    void* allocate(int) override { return std::calloc(1, 8); }
    void free(void* block) override {
        std::fputs("block freed\n", stderr);
        std::free(block);
    }
};

TEST(MemoryRegistryDeathTest, ProcessExitFreesBlocksStillRegistered) {
    EXPECT_EXIT(
        {
            // Never destroyed, as the library's own allocators.
            static auto* const reporting = new ReportingAllocator;
            if (AllocateTracked(1, reporting) == nullptr) {
                std::exit(1);
            }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "block freed");
}

// Many threads allocating and freeing blocks of every kind at once; every
// free must find its block and the registry must end as it began.
TEST(MemoryRegistryTest, StaysConsistentUnderConcurrentUse) {
    constexpr int kThreads = 8;
    constexpr int kRounds = 500;
    Mem_Allocator_Ifc* const allocators[] = {
        Mem_Allocator_Impl_Bytes::instance(),
        Mem_Alloc_Impl_FabAPI_ProxyEntryList::instance(),
        Mem_Alloc_Impl_FabAPI_ClientSessionIDList::instance(),
        Mem_Alloc_Impl_FabAPI_ClientSessionID::instance(),
        Mem_Alloc_Impl_FabAPI_FabricSignature::instance(),
        Mem_Alloc_Impl_FabAPI_FabricDiscoveryInfo::instance(),
        Mem_Alloc_Impl_FabricIdentitiesType::instance(),
    };
    const size_t before = MemoryRegistry::instance().size();
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            std::vector<void*> held;
            for (int round = 0; round < kRounds; ++round) {
                Mem_Allocator_Ifc* allocator = allocators[(t + round) % std::size(allocators)];
                void* block = AllocateTracked(round % 5, allocator);
                if (block == nullptr) {
                    ++failures;
                    continue;
                }
                held.push_back(block);
                // Free in bursts so that the map grows and shrinks.
                if (held.size() >= 7) {
                    for (void* b : held) {
                        if (FreeTracked(b) != 0) {
                            ++failures;
                        }
                    }
                    held.clear();
                }
            }
            for (void* b : held) {
                if (FreeTracked(b) != 0) {
                    ++failures;
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(MemoryRegistry::instance().size(), before);
}

} // namespace
