#include "platform/voskrpc.h"
#include "platform/winsock.h"

#include <gtest/gtest.h>

namespace {

TEST(VoskRpc, RuntimeIsReferenceCounted) {
    const int before = rpc_nt_users();
    const int socketUsers = WSAStartupCount();
    EXPECT_EQ(rpc_nt_init(), 0);
    EXPECT_EQ(rpc_nt_init(), 0);
    EXPECT_EQ(rpc_nt_users(), before + 2);
    EXPECT_EQ(WSAStartupCount(), socketUsers + (before == 0 ? 1 : 0));
    EXPECT_EQ(rpc_nt_exit(), 0);
    EXPECT_EQ(rpc_nt_exit(), 0);
    EXPECT_EQ(rpc_nt_users(), before);
    EXPECT_EQ(WSAStartupCount(), socketUsers);
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

} // namespace
