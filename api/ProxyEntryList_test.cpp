#include "api/ProxyEntryList.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

FabricProxyEntry entry(const char* host, const char* user = "", const char* password = "") {
    return FabricProxyEntry(user, password, IPAddress(host));
}

std::vector<std::string> hostsOf(const ProxyEntryList& list) {
    std::vector<std::string> hosts;
    for (const FabricProxyEntry& e : list.copyEntries()) {
        hosts.push_back(e.getHost().c_str());
    }
    return hosts;
}

TEST(ProxyEntryList, KeepsOneEntryPerHostInAppendOrder) {
    ProxyEntryList list;
    list.append(entry("10.0.0.2"));
    list.append(entry("10.0.0.1", "a"));
    list.append(entry("10.0.0.1", "b"));
    EXPECT_EQ(hostsOf(list), (std::vector<std::string>{"10.0.0.2", "10.0.0.1"}));
    EXPECT_EQ(list.copyEntries()[1].getUser(), "a");
}

TEST(ProxyEntryList, ContainsAndRemoveLookAtTheHostOnly) {
    ProxyEntryList list;
    list.append(entry("10.0.0.1", "a", "pa"));
    list.append(entry("10.0.0.2"));
    EXPECT_TRUE(list.contains(entry("10.0.0.1", "b", "pb")));
    EXPECT_FALSE(list.contains(entry("10.0.0.3")));

    list.remove(entry("10.0.0.3")); // absent: nothing happens
    list.remove(entry("10.0.0.1", "b", "pb"));
    EXPECT_EQ(hostsOf(list), (std::vector<std::string>{"10.0.0.2"}));
    list.clear();
    EXPECT_TRUE(list.copyEntries().empty());
}

TEST(ProxyEntryList, FillsFromACallersAddresses) {
    struct Case {
        const char* name;
        std::vector<const char*> addresses;
        std::vector<std::string> hosts;
    };
    const std::vector<Case> cases = {
        {"ends at null", {"10.0.0.1", "10.0.0.2", nullptr}, {"10.0.0.1", "10.0.0.2"}},
        {"ends at empty text", {"10.0.0.1", "", "10.0.0.2", nullptr}, {"10.0.0.1"}},
        {"first is empty", {"", "10.0.0.1", nullptr}, {}},
        {"repeats skipped", {"10.0.0.1", "10.0.0.1", nullptr}, {"10.0.0.1"}},
    };
    for (const Case& c : cases) {
        ProxyEntryList list;
        list.append(entry("192.0.2.9")); // emptied first
        list.fillFromAddresses(c.addresses.data());
        EXPECT_EQ(hostsOf(list), c.hosts) << c.name;
        for (const FabricProxyEntry& e : list.copyEntries()) {
            EXPECT_EQ(e.getUser(), "");
            EXPECT_EQ(e.getPassword(), "");
        }
    }
}

class ConfigFileTest : public ::testing::Test {
protected:
    std::string path;

    void SetUp() override {
        char name[] = "/tmp/orvane-proxies-XXXXXX";
        const int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        close(fd);
        path = name;
        setenv("FABRIC_CONFIG_FILE", path.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("FABRIC_CONFIG_FILE");
        std::remove(path.c_str());
    }
    void write(const std::string& content) {
        FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
};

TEST_F(ConfigFileTest, ReadsOneAddressALine) {
    const std::string longHost(5000, '7');
    struct Case {
        const char* name;
        std::string content;
        std::vector<std::string> hosts;
    };
    const std::vector<Case> cases = {
        {"newline ended", "10.0.0.1\n10.0.0.2\n", {"10.0.0.1", "10.0.0.2"}},
        {"no final newline", "10.0.0.1\n10.0.0.2", {"10.0.0.1", "10.0.0.2"}},
        {"CR LF lines", "10.0.0.1\r\n10.0.0.2\r\n", {"10.0.0.1", "10.0.0.2"}},
        {"blank lines skipped", "\n10.0.0.1\n\r\n\n10.0.0.2\n\n", {"10.0.0.1", "10.0.0.2"}},
        {"repeats skipped", "10.0.0.1\n10.0.0.1\n", {"10.0.0.1"}},
        {"a line of any length",
         "10.0.0.1\n" + longHost + "\n10.0.0.2\n",
         {"10.0.0.1", longHost, "10.0.0.2"}},
        {"empty file", "", {}},
    };
    for (const Case& c : cases) {
        write(c.content);
        ProxyEntryList list;
        list.append(entry("192.0.2.9")); // emptied first
        EXPECT_EQ(list.fillFromConfigFile(), 0) << c.name;
        EXPECT_EQ(hostsOf(list), c.hosts) << c.name;
    }
}

TEST_F(ConfigFileTest, MissingVariableOrFileLeavesTheListAlone) {
    ProxyEntryList list;
    list.append(entry("192.0.2.9"));

    unsetenv("FABRIC_CONFIG_FILE");
    EXPECT_EQ(list.fillFromConfigFile(), -3);
    EXPECT_EQ(hostsOf(list), (std::vector<std::string>{"192.0.2.9"}));

    setenv("FABRIC_CONFIG_FILE", (path + "-missing").c_str(), 1);
    EXPECT_EQ(list.fillFromConfigFile(), -3);
    EXPECT_EQ(hostsOf(list), (std::vector<std::string>{"192.0.2.9"}));
}

TEST(ProxyEntryList, OneListPerProcess) {
    EXPECT_EQ(&getProxyEntryList(), &getProxyEntryList());
}

} // namespace
