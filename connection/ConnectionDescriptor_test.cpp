#include "connection/ConnectionDescriptor.h"

#include <gtest/gtest.h>

namespace {

TEST(ConnectionDescriptor, HashAndEqualityCoverKeyAndProxyEntry) {
    const FabricProxyEntry entry("user", "secret", IPAddress("127.0.0.1"));
    const ConnectionDescriptor rpc(rpcProtocolKey(), entry, CONNECTION_LOGIN_PASSWORD);

    EXPECT_EQ(rpc.hashCode(), static_cast<int>(2000u + static_cast<unsigned>(entry.hashCode())));
    EXPECT_TRUE(rpc.equals(ConnectionDescriptor(rpcProtocolKey(), entry, CONNECTION_LOGIN_NONE)));
    EXPECT_FALSE(
        rpc.equals(ConnectionDescriptor(httpProtocolKey(), entry, CONNECTION_LOGIN_PASSWORD)));
    const FabricProxyEntry otherUser("other", "secret", IPAddress("127.0.0.1"));
    EXPECT_FALSE(
        rpc.equals(ConnectionDescriptor(rpcProtocolKey(), otherUser, CONNECTION_LOGIN_PASSWORD)));
    EXPECT_EQ(rpc.getSecurityMode(), CONNECTION_LOGIN_PASSWORD);
    EXPECT_TRUE(rpc.getProxyEntry().equals(entry));
}

} // namespace
