#include "ExitCode.h"

#include <gtest/gtest.h>

#include <set>

#include "Status.h"

namespace {

TEST(ExitCode, EveryFailureHasItsOwnNonZeroCode) {
    const int failures[] = {UsageError,
                            EventLogOpenFailed,
                            NoDataFileName,
                            InitializeFabricAccessFailed,
                            NoFabricsFound,
                            CommandInterfaceFailed,
                            GetFabricIdentitiesFailed,
                            NoSessionOpened,
                            NoFabricObjectRead,
                            CollectNoMemory,
                            InstallNoMemory,
                            ReportNoMemory,
                            BatchCollectNoMemory,
                            BatchCollectWriteFailed,
                            BatchCollectFailed,
                            BatchInstallNoMemory,
                            BatchInstallReadFailed,
                            BatchInstallFailed,
                            BatchReportNoMemory,
                            BatchReportWriteFailed,
                            BatchReportFailed,
                            CollectIncomplete,
                            InstallIncomplete,
                            ReportIncomplete};
    std::set<int> codes = {exitCodeFor(QuitConfirmed), exitCodeFor(HelpShown)};
    for (const int status : failures) {
        const int code = exitCodeFor(status);
        EXPECT_GT(code, 0) << status;
        EXPECT_LT(code, 126) << status; // clear of the shell's own codes
        EXPECT_TRUE(codes.insert(code).second) << status << " shares " << code;
    }
    // Those that wrapped to success or onto another in 8 bits.
    EXPECT_EQ(exitCodeFor(BatchReportWriteFailed), 72);
    EXPECT_EQ(exitCodeFor(BatchReportFailed), 73);
    EXPECT_EQ(exitCodeFor(UsageError), 1);
    // A task in which some switch failed.
    EXPECT_EQ(exitCodeFor(CollectIncomplete), 67);
    EXPECT_EQ(exitCodeFor(InstallIncomplete), 68);
    EXPECT_EQ(exitCodeFor(ReportIncomplete), 74);
}

TEST(ExitCode, SuccessAndPositiveStatuses) {
    EXPECT_EQ(exitCodeFor(0), 0);
    EXPECT_EQ(exitCodeFor(QuitConfirmed), 21);
    EXPECT_EQ(exitCodeFor(HelpShown), 405 & 0xFF);
    EXPECT_EQ(exitCodeFor(256), 125);
    EXPECT_EQ(exitCodeFor(-7), 125);
}

} // namespace
