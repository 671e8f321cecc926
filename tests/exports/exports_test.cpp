#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "c_caller.h"
#include "orvane/objects.h"
#include "orvane/version.h"

namespace {

TEST(ExportsTest, VersionTextIsMadeOnceAndNamesTheRelease) {
    const char* version = getVersion();
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(getVersion(), version) << "made once";
    const std::string text(version);
    EXPECT_NE(text.find("Merrowix_API 2.1.0b "), std::string::npos) << text;
    EXPECT_EQ(text.back(), ' ');
    // Not a caller block: the library keeps it.
    EXPECT_EQ(falFreeObject(version), -13);
}

TEST(ExportsTest, FreeObjectRefusesBlocksTheLibraryDidNotHandOut) {
    EXPECT_EQ(falFreeObject(nullptr), -13);

    void* foreign = std::malloc(24);
    ASSERT_NE(foreign, nullptr);
    EXPECT_EQ(falFreeObject(foreign), -13);
    std::free(foreign); // still the caller's: the library left it alone

    int onStack = 0;
    EXPECT_EQ(falFreeObject(&onStack), -13);
}

TEST(ExportsTest, CCallersUseTheSameExportsAndRecords) {
    EXPECT_EQ(c_freeObject(nullptr), -13);
    EXPECT_TRUE(c_identitiesRowHoldsNameThenList());
}

} // namespace
