#include "connection/ConnectionID.h"

#include "connection/testing/FakeConnectionFactory.h"

#include <gtest/gtest.h>

namespace {

TEST(ConnectionID, NamesOneObject) {
    int first = 0;
    int second = 0;
    const ConnectionID a(&first);
    EXPECT_TRUE(a.equals(ConnectionID(&first)));
    EXPECT_FALSE(a.equals(ConnectionID(&second)));
    EXPECT_EQ(a.hashCode(), ConnectionID(&first).hashCode());
    const ConnectionID low(&first < &second ? &first : &second);
    const ConnectionID high(&first < &second ? &second : &first);
    EXPECT_TRUE(low < high);
    EXPECT_FALSE(low < low);
    EXPECT_TRUE(low <= low);
    EXPECT_TRUE(high > low);
    EXPECT_TRUE(high >= high);
}

TEST(ConnectionID, ConnectionsAreEqualOnlyToThemselves) {
    const ConnectionDescriptor descriptor = fakeDescriptor("127.0.0.1");
    FakeConnection first(descriptor);
    FakeConnection second(descriptor);
    EXPECT_TRUE(first.equals(first));
    EXPECT_FALSE(first.equals(second));
    EXPECT_FALSE(first.equals(ConnectionID(&first))); // not a connection
}

} // namespace
