#include "api/ProxyEntryList.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <utility>
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
    list.append(entry("127.66.0.2"));
    list.append(entry("127.66.0.1", "a"));
    list.append(entry("127.66.0.1", "b"));
    EXPECT_EQ(hostsOf(list), (std::vector<std::string>{"127.66.0.2", "127.66.0.1"}));
    EXPECT_EQ(list.copyEntries()[1].getUser(), "a");
}

TEST(ProxyEntryList, ContainsAndRemoveLookAtTheHostOnly) {
    ProxyEntryList list;
    list.append(entry("127.66.0.1", "a", "pa"));
    list.append(entry("127.66.0.2"));
    EXPECT_TRUE(list.contains(entry("127.66.0.1", "b", "pb")));
    EXPECT_FALSE(list.contains(entry("127.66.0.3")));

    list.remove(entry("127.66.0.3")); // absent: nothing happens
    list.remove(entry("127.66.0.1", "b", "pb"));
    EXPECT_EQ(hostsOf(list), (std::vector<std::string>{"127.66.0.2"}));
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
        {"ends at null", {"127.66.0.1", "127.66.0.2", nullptr}, {"127.66.0.1", "127.66.0.2"}},
        {"ends at empty text", {"127.66.0.1", "", "127.66.0.2", nullptr}, {"127.66.0.1"}},
        {"first is empty", {"", "127.66.0.1", nullptr}, {}},
        {"repeats skipped", {"127.66.0.1", "127.66.0.1", nullptr}, {"127.66.0.1"}},
    };
    for (const Case& c : cases) {
        ProxyEntryList list;
        list.append(entry("127.66.9.9")); // emptied first
        EXPECT_EQ(list.fillFromAddresses(c.addresses.data()), 0) << c.name;
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
    const std::string longestHost(255, '7');
    struct Case {
        const char* name;
        std::string content;
        std::vector<std::string> hosts;
    };
    const std::vector<Case> cases = {
        {"newline ended", "127.66.0.1\n127.66.0.2\n", {"127.66.0.1", "127.66.0.2"}},
        {"no final newline", "127.66.0.1\n127.66.0.2", {"127.66.0.1", "127.66.0.2"}},
        {"CR LF lines", "127.66.0.1\r\n127.66.0.2\r\n", {"127.66.0.1", "127.66.0.2"}},
        {"blank lines skipped", "\n127.66.0.1\n\r\n\n127.66.0.2\n\n", {"127.66.0.1", "127.66.0.2"}},
        {"repeats skipped", "127.66.0.1\n127.66.0.1\n", {"127.66.0.1"}},
        {"CR before the end", "127.66.0.1\r", {"127.66.0.1"}},
        {"the longest host text, CR LF ended",
         "127.66.0.1\n" + longestHost + "\r\n127.66.0.2\n",
         {"127.66.0.1", longestHost, "127.66.0.2"}},
        {"empty file", "", {}},
    };
    for (const Case& c : cases) {
        write(c.content);
        ProxyEntryList list;
        list.append(entry("127.66.9.9")); // emptied first
        EXPECT_EQ(list.fillFromConfigFile(), 0) << c.name;
        EXPECT_EQ(hostsOf(list), c.hosts) << c.name;
    }
}

TEST_F(ConfigFileTest, ALineThatIsNoHostTextRefusesTheWholeFile) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"blank", "127.66.0.1\n \n"},
        {"port", "127.66.0.1:80\n"},
        {"trailing tab", "127.66.0.1\t\n"},
        {"two CRs", "127.66.0.1\r\r\n"},
        {"NUL inside", std::string("127.66\0.0.1\n127.66.0.2\n", 23)},
        {"256 characters", "127.66.0.1\n" + std::string(256, 'h') + "\n"},
        {"a long line last", "127.66.0.1\n" + std::string(1 << 20, 'h')},
    };
    for (const auto& [name, content] : cases) {
        write(content);
        ProxyEntryList list;
        list.append(entry("127.66.9.9"));
        EXPECT_EQ(list.fillFromConfigFile(), -3) << name;
        EXPECT_EQ(hostsOf(list), (std::vector<std::string>{"127.66.9.9"})) << name;
    }
}

TEST_F(ConfigFileTest, MissingVariableOrFileLeavesTheListAlone) {
    ProxyEntryList list;
    list.append(entry("127.66.9.9"));

    unsetenv("FABRIC_CONFIG_FILE");
    EXPECT_EQ(list.fillFromConfigFile(), -3);
    EXPECT_EQ(hostsOf(list), (std::vector<std::string>{"127.66.9.9"}));

    setenv("FABRIC_CONFIG_FILE", (path + "-missing").c_str(), 1);
    EXPECT_EQ(list.fillFromConfigFile(), -3);
    EXPECT_EQ(hostsOf(list), (std::vector<std::string>{"127.66.9.9"}));
}

TEST(ProxyEntryList, OneListPerProcess) {
    EXPECT_EQ(&getProxyEntryList(), &getProxyEntryList());
}

} // namespace
