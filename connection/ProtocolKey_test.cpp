#include "connection/ProtocolKey.h"

#include <gtest/gtest.h>

#include <map>

namespace {

TEST(ProtocolKey, OrdersByKindThenVersion) {
    EXPECT_TRUE(ProtocolKey(1, 100) < ProtocolKey(2, 101));
    EXPECT_TRUE(ProtocolKey(1, 100) < ProtocolKey(1, 101));
    EXPECT_FALSE(ProtocolKey(1, 101) < ProtocolKey(1, 100));
    EXPECT_FALSE(ProtocolKey(2, 0) < ProtocolKey(1, 999));
    EXPECT_TRUE(ProtocolKey(-1, 0) < ProtocolKey(1, 0)); // signed comparison
    const ProtocolKey key(1, 100);
    EXPECT_FALSE(key < key);
    EXPECT_FALSE(ProtocolKey(1, 100) < ProtocolKey(1, 100));
}

TEST(ProtocolKey, HashesAndEqualsByBothFields) {
    EXPECT_EQ(rpcProtocolKey().hashCode(), 2000);
    EXPECT_EQ(httpProtocolKey().hashCode(), 3010);
    EXPECT_TRUE(rpcProtocolKey().equals(ProtocolKey(1, 100)));
    EXPECT_FALSE(rpcProtocolKey().equals(ProtocolKey(1, 101)));
    EXPECT_FALSE(rpcProtocolKey().equals(ProtocolKey(2, 100)));
}

TEST(ProtocolKey, KeysTheTwoTransports) {
    EXPECT_EQ(rpcProtocolKey().getKind(), CONNECTION_KIND_RPC);
    EXPECT_EQ(rpcProtocolKey().getVersion(), CONNECTION_VERSION_RPC);
    EXPECT_EQ(httpProtocolKey().getKind(), CONNECTION_KIND_HTTP);
    EXPECT_EQ(httpProtocolKey().getVersion(), CONNECTION_VERSION_HTTP);
    std::map<ProtocolKey, int> byKey{{httpProtocolKey(), 2}, {rpcProtocolKey(), 1}};
    EXPECT_EQ(byKey.begin()->second, 1);
    EXPECT_EQ(byKey.at(ProtocolKey(2, 101)), 2);
}

} // namespace
