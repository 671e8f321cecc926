// Configuration upload, download and prefix lists through the exports, as a
// caller sees them, against the simulated switches.
#include <gtest/gtest.h>

#include <string>

#include "orvane/transfers.h"
#include "tests/transfers/TransferFabrics.h"

namespace {

using namespace transfers;
using nlohmann::json;

constexpr char kConfig[] = "[system]\n"
                           "system.name:core\n"
                           "  a.mode:1\n"
                           "ba.x:1\n"
                           "b.y:2\n";
constexpr char kPrefixes[] = "[online]\na.\nsys\n[non-supported]\nb.\n";

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        FabAPI_ShutdownFabricAPI();
        setUpload(0, kConfig);
        setUpload(4, kPrefixes);
        openFabricSessions(sim_, {0}, {kFabricA});
    }
    void TearDown() override { FabAPI_ShutdownFabricAPI(); }

    void setUpload(int selector, const std::string& text) {
        sim_.request({{"op", "setUpload"}, {"address", sim_.address(0)}, {"switch", kWwnA2},
                      {"value", selector}, {"text", text}});
    }
    json configuration() {
        return sim_.request({{"op", "configuration"}, {"address", sim_.address(0)},
                             {"switch", kWwnA2}});
    }
    int download(const char* text, char allowReboot = 0) {
        return ConfigurationDownload(asOid(oid_, kSwitchA2)[0], allowReboot, text);
    }
    std::string upload(int expected = 0) {
        char* text = nullptr;
        EXPECT_EQ(expected, ConfigurationUpload(asOid(oid_, kSwitchA2)[0], &text));
        std::string copy = text != nullptr ? text : "";
        if (text != nullptr) {
            EXPECT_EQ(0, falFreeObject(text));
        }
        return copy;
    }
    std::string prefixes(unsigned short section, int expected = 0) {
        char* text = nullptr;
        EXPECT_EQ(expected, ConfigurationPrefix(asOid(oid_, kSwitchA2)[0], section, &text));
        std::string copy = text != nullptr ? text : "";
        if (text != nullptr) {
            EXPECT_EQ(0, falFreeObject(text));
        }
        return copy;
    }

    SwitchSimulator sim_{twoFabrics()};
    OID_t oid_{};
};

TEST_F(ConfigTest, UploadChangeDownloadAndReadBack) {
    EXPECT_EQ(kConfig, upload());

    // Only the changed line travels; the unchanged one and the section stay home.
    EXPECT_EQ(0, download("[system]\nsystem.name:core\na.mode:2\n"));
    json state = configuration();
    ASSERT_EQ(1u, state["downloads"].size());
    EXPECT_EQ(2, state["downloads"][0]["operation"]);
    EXPECT_EQ("a.mode:2\n", state["downloads"][0]["text"]);
    EXPECT_FALSE(state["reboot"].get<bool>());

    const std::string readBack = upload();
    EXPECT_NE(std::string::npos, readBack.find("a.mode:2\n"));
    EXPECT_EQ(std::string::npos, readBack.find("a.mode:1"));

    // Sending the text read back changes nothing and sends nothing.
    EXPECT_EQ(0, download(readBack.c_str()));
    EXPECT_EQ(0, download("[online]\n"));
    EXPECT_EQ(1u, configuration()["downloads"].size());
}

TEST_F(ConfigTest, PrefixListDecidesWhetherAndHowLinesAreSent) {
    struct Case {
        const char* text;
        char allowReboot;
        int expected;
        int sentOperation; // 0: nothing sent
    };
    const Case cases[] = {
        {"D_Telnet.TELNET_POLICY:x\n", 1, -50, 0},
        {"a.mode:3\nA_Http.HTTP_POLICY:y\n", 1, -50, 0},
        {"b.y:3\n", 0, -50, 0},
        {"c.z:1\n", 0, 101, 0},
        {"c.z:1\n", 1, 100, 3},
        {"a.x:1\n", 0, 0, 2},
        // A value with blanks is not a list of keys.
        {"a.note:see c.z and b.y\n", 0, 0, 2},
        // The prefix must start the key: "ba.x" is unknown, not under "a.".
        {"ba.x:2\n", 0, 101, 0},
    };
    std::size_t sent = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.expected, download(c.text, c.allowReboot));
        const json state = configuration();
        if (c.sentOperation != 0) {
            ASSERT_EQ(++sent, state["downloads"].size());
            EXPECT_EQ(c.sentOperation, state["downloads"].back()["operation"]);
            EXPECT_EQ(c.text, state["downloads"].back()["text"]);
        } else {
            EXPECT_EQ(sent, state["downloads"].size());
        }
    }
    EXPECT_TRUE(configuration()["reboot"].get<bool>());
}

TEST_F(ConfigTest, LinesAreComparedWholeAndKeysOfAnyLength) {
    // "a.x:1" is part of the switch's "ba.x:1" but not one of its lines.
    EXPECT_EQ(0, download("a.x:1\n"));
    const std::string longKey = "a." + std::string(1000, 'k');
    const std::string line = longKey + ":" + std::string(3000, 'v') + "\n";
    EXPECT_EQ(0, download(line.c_str()));
    const json state = configuration();
    ASSERT_EQ(2u, state["downloads"].size());
    EXPECT_EQ("a.x:1\n", state["downloads"][0]["text"]);
    EXPECT_EQ(line, state["downloads"][1]["text"]);
}

TEST_F(ConfigTest, BadArguments) {
    OID_t fabric{};
    OID_t unknown{};
    OID_t empty{};
    char* text = nullptr;
    EXPECT_EQ(-3, download("k:v"));
    EXPECT_EQ(-3, download(""));
    EXPECT_EQ(-3, download("a.x:2\n", 2));
    EXPECT_EQ(-3, download(nullptr));
    EXPECT_EQ(-3, ConfigurationUpload(empty, &text));
    EXPECT_EQ(-3, ConfigurationUpload(asOid(oid_, kSwitchA2)[0], nullptr));
    EXPECT_EQ(-3, ConfigurationPrefix(asOid(oid_, kSwitchA2)[0], 1, nullptr));
    EXPECT_EQ(-21, ConfigurationUpload(asOid(unknown, "000210000060690000ff")[0], &text));
    EXPECT_EQ(-6, ConfigurationUpload(asOid(fabric, kFabricA)[0], &text));
    EXPECT_EQ(-6, ConfigurationDownload(fabric, 0, "a.x:2\n"));
    EXPECT_EQ(nullptr, text);
    EXPECT_TRUE(configuration()["downloads"].empty());
}

TEST_F(ConfigTest, PrefixSections) {
    EXPECT_EQ("a.\nsys\n", prefixes(1));
    std::string fixed = "b.\n";
    for (const char* name : {"Options.OPTIONS", "Rsnmp.RSNMP", "Wsnmp.WSNMP", "Telnet.TELNET",
                             "Http.HTTP", "Api.API", "Ses.SES", "Ms.MS", "Serial.SERIAL",
                             "Frontpanel.FRONTPANEL", "Scc.SCC", "Dcc.DCC"})
        fixed += std::string("D_") + name + "_POLICY\nA_" + name + "_POLICY\n";
    EXPECT_EQ(fixed, prefixes(2));
    prefixes(0, -3);
    prefixes(3, -3);

    setUpload(4, "[online]\na.\n");
    EXPECT_EQ("a.\n", prefixes(1));
    prefixes(2, -36);
}

TEST_F(ConfigTest, UploadSizeBounds) {
    sim_.request({{"op", "setUpload"}, {"address", sim_.address(0)}, {"switch", kWwnA2},
                  {"value", 0}, {"size", 524288}});
    const std::string largest = upload();
    ASSERT_EQ(524288u, largest.size());
    EXPECT_EQ("abc", largest.substr(0, 3));
    EXPECT_EQ('a' + (524287 % 26), largest.back());

    sim_.request({{"op", "setUpload"}, {"address", sim_.address(0)}, {"switch", kWwnA2},
                  {"value", 0}, {"size", 524289}});
    EXPECT_EQ("", upload(FABAPI_ERR_UNMAPPED));
    // The download compares against the switch's text, so it fails the same way.
    EXPECT_EQ(FABAPI_ERR_UNMAPPED, download("a.x:1\n"));
}

TEST_F(ConfigTest, RefusedBeforeStart) {
    FabAPI_ShutdownFabricAPI();
    char* text = nullptr;
    EXPECT_EQ(-98, ConfigurationUpload(asOid(oid_, kSwitchA2)[0], &text));
    EXPECT_EQ(-98, ConfigurationDownload(oid_, 0, "a:1\n"));
    EXPECT_EQ(-98, ConfigurationPrefix(oid_, 1, &text));
}

} // namespace
