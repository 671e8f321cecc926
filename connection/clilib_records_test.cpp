#include "connection/clilib_records.h"

#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "connection/clilib.h"

namespace {

TEST(ApiRecords, RefusesAddressesItDidNotHandOut) {
    EXPECT_EQ(freeApiRecord(nullptr), -10004);

    void* foreign = std::malloc(64);
    EXPECT_EQ(freeApiRecord(foreign), -10004);
    std::free(foreign);

    auto* block = static_cast<char*>(allocApiRecord(ApiRecordBytes, 64));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(freeApiRecord(block + 16), -10004) << "an address inside a block";
    EXPECT_EQ(freeApiRecord(block), 0);
    EXPECT_EQ(freeApiRecord(block), -10004) << "a block already freed";
}

TEST(ApiRecords, EveryTypeIsFreedWithoutLeak) {
    const std::size_t before = liveApiRecords();
    for (std::uint32_t type = 1; type <= ApiRecordTypeLast; ++type) {
        void* block = allocApiRecord(type, 3);
        ASSERT_NE(block, nullptr) << "type " << type;
        std::uint32_t storedType = 0;
        std::uint32_t count = 0;
        ASSERT_TRUE(apiRecordInfo(block, &storedType, &count));
        EXPECT_EQ(storedType, type);
        EXPECT_EQ(count, 3u);
        EXPECT_EQ(freeApiRecord(block), 0) << "type " << type;
    }
    EXPECT_EQ(liveApiRecords(), before);
}

TEST(ApiRecords, HolderTypesFreeWhatTheyHold) {
    const std::size_t before = liveApiRecords();
    for (std::uint32_t type : {3u, 5u, 8u, 12u}) {
        auto* holder = static_cast<ApiBlockHolder*>(allocApiRecord(type, 1));
        ASSERT_NE(holder, nullptr);
        holder->block = allocApiRecord(ApiRecordBytes, 10);
        EXPECT_EQ(freeApiRecord(holder), 0);
    }
    // Type 14: the held block's first word holds a further block.
    auto* holder = static_cast<ApiBlockHolder*>(allocApiRecord(14, 1));
    ASSERT_NE(holder, nullptr);
    auto* middle = static_cast<void**>(allocApiRecord(ApiRecordBytes, sizeof(void*)));
    *middle = allocApiRecord(ApiRecordBytes, 5);
    holder->block = middle;
    EXPECT_EQ(freeApiRecord(holder), 0);
    EXPECT_EQ(liveApiRecords(), before);
}

TEST(ApiRecords, CountZeroGivesAnEmptyBlock) {
    for (std::uint32_t type : {1u, 6u, 18u, 19u}) {
        void* block = allocApiRecord(type, 0);
        ASSERT_NE(block, nullptr) << "type " << type;
        EXPECT_EQ(freeApiRecord(block), 0);
    }
}

TEST(ApiRecords, ElementsAreSizedFromTheRecords) {
    EXPECT_EQ(apiRecordElementSize(2), sizeof(SessionContext));
    EXPECT_EQ(apiRecordElementSize(6), sizeof(PlatformName));
    EXPECT_EQ(apiRecordElementSize(19), sizeof(NSPortListEntry));
    EXPECT_EQ(apiRecordElementSize(3), sizeof(ApiBlockHolder));
    EXPECT_EQ(apiRecordElementSize(42), 1u) << "unknown types are raw bytes";
}

TEST(ApiRecords, CountedBlocksCarryTheirCount) {
    auto* routes = static_cast<ApiRouteEntries*>(allocApiRecord(ApiRecordRouteEntries, 4));
    ASSERT_NE(routes, nullptr);
    EXPECT_EQ(routes->count, 4u);
    EXPECT_EQ(static_cast<void*>(routes->entries), static_cast<void*>(routes + 1));
    routes->entries[3].values[3] = 7; // the last entry lies inside the block
    EXPECT_EQ(freeApiRecord(routes), 0);

    auto* ports = static_cast<std::uint32_t*>(allocApiRecord(ApiRecordPortList, 2));
    ASSERT_NE(ports, nullptr);
    EXPECT_EQ(*ports, 2u);
    EXPECT_EQ(freeApiRecord(ports), 0);
}

} // namespace
