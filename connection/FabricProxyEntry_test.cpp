#include "connection/FabricProxyEntry.h"

#include "foundation/APIException.h"
#include "orvane/fabapi.h"

#include <gtest/gtest.h>

namespace {

TEST(FabricProxyEntry, IsMadeFromACallersRecord) {
    FabAPI_ProxyEntry record{};
    record.pcHostName = const_cast<char*>("127.66.0.1");
    record.pcUser = const_cast<char*>("admin");
    record.pcPassword = const_cast<char*>("secret");
    const FabricProxyEntry entry = makeFabricProxyEntry(&record);
    EXPECT_EQ(entry.getHost(), IPAddress("127.66.0.1"));
    EXPECT_EQ(entry.getUser(), "admin");
    EXPECT_EQ(entry.getPassword(), "secret");

    record.pcUser = nullptr;
    record.pcPassword = nullptr;
    const FabricProxyEntry anonymous = makeFabricProxyEntry(&record);
    EXPECT_EQ(anonymous.getUser(), "");
    EXPECT_EQ(anonymous.getPassword(), "");
}

TEST(FabricProxyEntry, RefusesARecordWithoutHost) {
    FabAPI_ProxyEntry record{};
    record.pcUser = const_cast<char*>("admin");
    try {
        makeFabricProxyEntry(&record);
        FAIL() << "expected APIException";
    } catch (const APIException& e) {
        EXPECT_EQ(e.getMessage(), "NULL proxy entry host.");
    }
    EXPECT_THROW(makeFabricProxyEntry(nullptr), APIException);
}

TEST(FabricProxyEntry, HashAddsTheHashesOfItsThreeFields) {
    // "ab" hashes to 97 * 5 + 98 = 583, "" to 0, "1" to 49.
    EXPECT_EQ(FabricProxyEntry("ab", "", IPAddress("1")).hashCode(), 583 + 49);
    EXPECT_EQ(FabricProxyEntry("", "ab", IPAddress("1")).hashCode(), 583 + 49);
}

TEST(FabricProxyEntry, EqualsComparesUserPasswordAndHost) {
    const FabricProxyEntry entry("u", "p", IPAddress("127.66.0.1"));
    EXPECT_TRUE(entry.equals(FabricProxyEntry("u", "p", IPAddress("127.66.0.1"))));
    EXPECT_FALSE(entry.equals(FabricProxyEntry("x", "p", IPAddress("127.66.0.1"))));
    EXPECT_FALSE(entry.equals(FabricProxyEntry("u", "x", IPAddress("127.66.0.1"))));
    EXPECT_FALSE(entry.equals(FabricProxyEntry("u", "p", IPAddress("127.66.0.2"))));

    FabricProxyEntry copy = entry;
    copy.setUser("changed");
    copy.setPassword("changed too");
    EXPECT_EQ(entry.getUser(), "u"); // copies are independent
    EXPECT_EQ(copy.getPassword(), "changed too");
}

} // namespace
