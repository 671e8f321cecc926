#include "foundation/SocketLib.h"
#include "platform/winsock.h"

#include <gtest/gtest.h>

namespace {

TEST(SocketLib, CountsItsOwnUsersAroundOneStart) {
    const int before = WSAStartupCount();
    SocketLibStartup();
    SocketLibStartup();
    EXPECT_EQ(WSAStartupCount(), before + 1);
    SocketLibCleanup();
    EXPECT_EQ(WSAStartupCount(), before + 1);
    SocketLibCleanup();
    EXPECT_EQ(WSAStartupCount(), before);
    SocketLibCleanup(); // unbalanced: leaves other starts alone
    EXPECT_EQ(WSAStartupCount(), before);
}

// Sets a process-wide flag for good, so it runs last.
TEST(SocketLib, DoesNothingOnceTheEntryPointOwnsTheStart) {
    const int before = WSAStartupCount();
    SocketLibSetEntryPointFlag();
    SocketLibStartup();
    EXPECT_EQ(WSAStartupCount(), before);
    SocketLibCleanup();
    EXPECT_EQ(WSAStartupCount(), before);
}

} // namespace
