#include "api/ExportFrame.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "foundation/APIException.h"

namespace {

TEST(ExportFrame, NoFailureLeavesAnExport) {
    EXPECT_EQ(-201, runExport("Test_Export", [] { return -201; }));
    EXPECT_EQ(FABAPI_ERR_OUT_OF_MEMORY,
              runExport("Test_Export", []() -> int { throw std::bad_alloc(); }));
    EXPECT_EQ(FABAPI_ERR_OUT_OF_MEMORY,
              runExport("Test_Export", []() -> int { throw APIException("failed", -3); }));
    EXPECT_EQ(FABAPI_ERR_OUT_OF_MEMORY, runExport("Test_Export", []() -> int { throw 7; }));
}

TEST(ExportFrame, GatedWorkRunsOnlyOnAStartedLibraryThatIsNotStopping) {
    int runs = 0;
    const auto work = [&] {
        ++runs;
        return FABAPI_OK;
    };
    ASSERT_FALSE(isAPIInitialized());
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, gatedCall(InitCheck::Required, work));
    EXPECT_EQ(FABAPI_OK, gatedCall(InitCheck::NotRequired, work));
    EXPECT_EQ(1, runs);

    BeginShutdown();
    EXPECT_EQ(FABAPI_ERR_SHUTTING_DOWN, gatedCall(InitCheck::NotRequired, work));
    EndShutdown();
    EXPECT_EQ(1, runs);
}

} // namespace
