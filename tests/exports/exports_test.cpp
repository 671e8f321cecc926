#include <gtest/gtest.h>

#include <cstdlib>

#include "orvane/objects.h"

namespace {

TEST(ExportsTest, FreeObjectRefusesBlocksTheLibraryDidNotHandOut) {
    EXPECT_EQ(falFreeObject(nullptr), -13);

    void* foreign = std::malloc(24);
    ASSERT_NE(foreign, nullptr);
    EXPECT_EQ(falFreeObject(foreign), -13);
    std::free(foreign); // still the caller's: the library left it alone

    int onStack = 0;
    EXPECT_EQ(falFreeObject(&onStack), -13);
}

} // namespace
