#include "platform/voskrpc.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

namespace {

TEST(VoskRpc, RuntimeIsReferenceCounted) {
    const int before = rpc_nt_users();
    EXPECT_EQ(rpc_nt_init(), 0);
    EXPECT_EQ(rpc_nt_init(), 0);
    EXPECT_EQ(rpc_nt_users(), before + 2);
    EXPECT_EQ(rpc_nt_exit(), 0);
    EXPECT_EQ(rpc_nt_exit(), 0);
    EXPECT_EQ(rpc_nt_users(), before);
    if (before == 0) {
        EXPECT_EQ(rpc_nt_exit(), -1);
    }
}

TEST(VoskRpc, XdrPrimitivesAreThere) {
    char buffer[16];
    XDR xdr;
    xdrmem_create(&xdr, buffer, sizeof buffer, XDR_ENCODE);
    int value = -5;
    ASSERT_TRUE(xdr_int(&xdr, &value));
    EXPECT_EQ(xdr_getpos(&xdr), 4u);
    xdr_destroy(&xdr);
}

TEST(VoskRpc, BlockedSigpipeDoesNotEndTheProcess) {
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    close(pair[1]);
    {
        ScopedSigpipeBlock block;
        // A plain write to a closed peer raises SIGPIPE on this thread.
        EXPECT_EQ(write(pair[0], "x", 1), -1);
    }
    close(pair[0]);
    sigset_t pending;
    sigpending(&pending);
    EXPECT_EQ(sigismember(&pending, SIGPIPE), 0) << "the signal was discarded";
}

} // namespace
