#include <orvane/version.h>

#include <gtest/gtest.h>

#include <string>

TEST(VersionTest, BuiltOnceWithProductAndRelease) {
    const char* first = getVersion();
    EXPECT_EQ(getVersion(), first);
    const std::string text(first);
    const std::string tail = "Merrowix_API 2.1.0b ";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(text.substr(0, 7), "Orvane ");
    // The build date ("Mmm dd yyyy") and time ("hh:mm:ss") in between.
    EXPECT_EQ(text.size(), std::string("Orvane ").size() + 11 + 1 + 8 + 1 + tail.size());
}
