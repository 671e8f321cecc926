#include "ConfigFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>

#include "console_testing.h"

namespace {

class ConfigFileTest : public testing::Test {
protected:
    // Parses `text` as a configuration file into parameters_: its result.
    int parseText(const std::string& text) {
        {
            std::ofstream file(path_, std::ios::binary | std::ios::trunc);
            file << text;
        }
        return parseConfigFile(path_, parameters_, console_.console());
    }
    std::string output() const { return console_.output(); }

    ~ConfigFileTest() override { ::unlink(path_.c_str()); }

    std::string path_ = testing::TempDir() + "zettle_config_" + std::to_string(::getpid());
    SystemParameters parameters_;
    ScriptedConsole console_{""};
};

TEST_F(ConfigFileTest, AppliesEveryKey) {
    const std::string text = "# the certificate service\n"
                             "CA_SERVER_NAME  ca.example.test   CA_PORT 8443\n"
                             "LOG_FILE_NAME\tevents.log\n"
                             "FAB_ADDR_FILE_NAME fabrics.txt\n"
                             "REQUESTOR \"Jo Smith\"\n"
                             "DTD_LOCATION /usr/share/switch_data.dtd # where the report's DTD is\n"
                             "CONN_TIMEOUT 5 CSR_LIC_RPT_ON 0 LOG_LEVEL 3\n"
                             "NUM_RETRY \v7 \vRECV_TIMEOUT 9x RETRY_WAIT abc\n";
    EXPECT_EQ(parseText(text), 0);
    EXPECT_EQ(output(), "");
    const SystemParameters& p = parameters_;
    EXPECT_EQ(p.CA_SERVER_NAME, "ca.example.test");
    EXPECT_EQ(p.CA_PORT, 8443);
    EXPECT_EQ(p.LOG_FILE_NAME, "events.log");
    EXPECT_EQ(p.FAB_ADDR_FILE_NAME, "fabrics.txt");
    EXPECT_EQ(p.REQUESTOR, "Jo Smith");
    EXPECT_EQ(p.DTD_LOCATION, "/usr/share/switch_data.dtd");
    EXPECT_EQ(p.CONN_TIMEOUT, 5);
    EXPECT_EQ(p.CSR_LIC_RPT_ON, 0);
    EXPECT_EQ(p.logLevel, 3);
    EXPECT_EQ(p.NUM_RETRY, 7);
    EXPECT_EQ(p.RECV_TIMEOUT, 9);
    EXPECT_EQ(p.RETRY_WAIT, 0); // no decimal prefix
}

TEST_F(ConfigFileTest, KeysOverrideOptionsButNotAnAddressFile) {
    parameters_.logLevel = 3;
    parameters_.LOG_FILE_NAME = "option.log";
    parameters_.FAB_ADDR_FILE_NAME = "option.txt";
    EXPECT_EQ(parseText("LOG_LEVEL 0\nLOG_FILE_NAME config.log\nFAB_ADDR_FILE_NAME config.txt\n"),
              0);
    EXPECT_EQ(parameters_.logLevel, 0);
    EXPECT_EQ(parameters_.LOG_FILE_NAME, "config.log");
    EXPECT_EQ(parameters_.FAB_ADDR_FILE_NAME, "option.txt");
}

TEST_F(ConfigFileTest, QuotedValuesHoldBlanksAndHashes) {
    EXPECT_EQ(parseText("REQUESTOR \"Jo # Smith\"  DTD_LOCATION \"a b\""), 0);
    EXPECT_EQ(parameters_.REQUESTOR, "Jo # Smith");
    EXPECT_EQ(parameters_.DTD_LOCATION, "a b");
    // A file that ends inside quotes applies what was read.
    EXPECT_EQ(parseText("REQUESTOR \"unended"), 0);
    EXPECT_EQ(parameters_.REQUESTOR, "unended");
    // "#" inside a plain value is part of it.
    EXPECT_EQ(parseText("REQUESTOR a#b\n"), 0);
    EXPECT_EQ(parameters_.REQUESTOR, "a#b");
}

TEST_F(ConfigFileTest, CarriageReturnsBeforeLineFeedsAreDropped) {
    EXPECT_EQ(parseText("REQUESTOR \"two\r\nlines\"\r\nLOG_LEVEL 1\r\n"), 0);
    EXPECT_EQ(parameters_.REQUESTOR, "two\nlines");
    EXPECT_EQ(parameters_.logLevel, 1);
}

TEST_F(ConfigFileTest, EightyCharactersAreTheLimit) {
    const std::string eighty(80, 'v');
    EXPECT_EQ(parseText("REQUESTOR " + eighty + "\n"), 0);
    EXPECT_EQ(parameters_.REQUESTOR, eighty);
    EXPECT_EQ(parseText("REQUESTOR \"" + eighty + "\""), 0);
    EXPECT_EQ(parameters_.REQUESTOR, eighty);

    EXPECT_EQ(parseText("CA_SERVER_NAME " + eighty + "w\n"), -1);
    EXPECT_EQ(parameters_.CA_SERVER_NAME, "");
    EXPECT_EQ(output(), "\nCONFIG: System parameter value,\n" + eighty + "\n too long\n\n");

    const std::string longName(81, 'N');
    EXPECT_EQ(parseText(longName + " 1\n"), -1);
    EXPECT_NE(output().find("\nCONFIG: System parameter,\n" + std::string(80, 'N') +
                            "\n  is too long\n\n"),
              std::string::npos);
}

TEST_F(ConfigFileTest, ErrorsStopTheParseAndKeepWhatCameBefore) {
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"LOG_LEVEL 1\nlog_level 3\n", "\nCONFIG: Invalid system parameter: l (6c) \n\n"},
        {"LOG_LEVEL 1\n\n  REQUESTOR a\"b\n",
         "\nCONFIG: Quote (\") in wrong context at line #2\n\n"},
        {"LOG_LEVEL 1 \"x\"", "\nCONFIG: Quote (\") in wrong context at line #0\n\n"},
        {"LOG_LEVEL 1 NAME\"x\"", "\nCONFIG: Quote (\") in wrong context at line #0\n\n"},
        {"LOG_LEVEL 1 REQUESTOR#x\n", "\nCONFIG: System parameter, REQUESTOR, has no value \n\n"},
        {"LOG_LEVEL 1 REQUESTOR #x\n", "\nCONFIG: System parameter, REQUESTOR, has no value \n\n"},
        {"LOG_LEVEL 1 REQUESTOR", "\nCONFIG: System parameter, REQUESTOR, has no value \n\n"},
        {"LOG_LEVEL 1 REQUESTOR  \n", "\nCONFIG: System parameter, REQUESTOR, has no value \n\n"},
        {"LOG_LEVEL 1 REQUESTOr x", "\nCONFIG: Invalid system parameter Id: REQUESTO\n\n"},
        {"LOG_LEVEL 1 CA_PORTS 3",
         "\nERROR: config parameter, CA_PORTS, unknown\n\nConfiguration file format error \n\n\n"},
        {"LOG_LEVEL 1 CA_PORTS \"3\"",
         "\nERROR: config parameter, CA_PORTS, unknown\n\nConfiguration file error \n\n\n"},
    };
    for (const Case& c : cases) {
        ScriptedConsole console("");
        SystemParameters parameters;
        {
            std::ofstream file(path_, std::ios::binary | std::ios::trunc);
            file << c.text;
        }
        EXPECT_EQ(parseConfigFile(path_, parameters, console.console()), -1) << c.text;
        EXPECT_EQ(console.output(), c.message) << c.text;
        EXPECT_EQ(parameters.logLevel, 1) << c.text;
        EXPECT_EQ(parameters.REQUESTOR, "") << c.text;
    }
}

TEST_F(ConfigFileTest, CommentsAndEmptyFilesAreFine) {
    EXPECT_EQ(parseText(""), 0);
    EXPECT_EQ(parseText("# only a comment"), 0);
    EXPECT_EQ(parseText("#\"quoted\" in a comment\n  LOG_LEVEL 4 # level\n#"), 0);
    EXPECT_EQ(parameters_.logLevel, 4);
    EXPECT_EQ(output(), "");
}

TEST_F(ConfigFileTest, AMissingFileGivesMinusOneSilently) {
    EXPECT_EQ(parseConfigFile(path_ + ".none", parameters_, console_.console()), -1);
    EXPECT_EQ(output(), "");
}

} // namespace
