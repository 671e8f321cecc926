#include "objects/gorlib.h"

#include <gtest/gtest.h>

#include <cstddef>

#include "foundation/MemoryRegistry.h"

namespace {

TEST(GorlibTest, ObjectBlocksAreZeroFilledAndFreedByFalFreeObject) {
    constexpr size_t kSize = 300;
    auto* block = static_cast<unsigned char*>(falAllocObject(kSize));
    ASSERT_NE(block, nullptr);
    for (size_t i = 0; i < kSize; ++i) {
        ASSERT_EQ(block[i], 0) << i;
    }
    EXPECT_EQ(falFreeObject(block + 48), -13) << "interior pointer";
    EXPECT_EQ(falFreeObject(block), 0);
    EXPECT_EQ(falFreeObject(block), -13) << "double free";
    EXPECT_EQ(falFreeObject(nullptr), -13);
}

TEST(GorlibTest, OversizedRequestGivesNoBlock) {
    const size_t before = MemoryRegistry::instance().size();
    EXPECT_EQ(falAllocObject(static_cast<size_t>(1) << 40), nullptr);
    EXPECT_EQ(MemoryRegistry::instance().size(), before);
}

} // namespace
