// zettle run on pipes: options, usage errors, the configuration file, the
// event log and exit codes, for everything that needs no fabric.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "ZettleProcess.h"

namespace {

const std::string ExitBanner =
    "\n\n\n\n\n               Exit PKI Certificate Installation Utility pki_v1.0.5 \n\n\n";
const std::string UsageText =
    "\nUsage:\n  zettle [-gil] [-a addressFile | -A 1-address] [-d dataFile]\n"
    "\t [-e logFile] [-L #(log info level)] [-u userName -p password]\n\n";

// The log with every header's time written as TIME.
std::string withoutTimes(const std::string& log) {
    static const std::regex time(R"(\d{4}-\d\d-\d\d\.\d\d:\d\d:\d\d)");
    return std::regex_replace(log, time, "TIME");
}

std::string levelLine(int level) {
    return "Log-Level set to " + std::to_string(level) +
           " (0 = Silent, 1 = Errors, 2 = Events, 3 = Debug)\n";
}

const std::string Header = "\n==== PKI Certificate Utility [pki_v1.0.5] ==== TIME ====\n";

TEST(ZettleBatch, UsageErrorsEndWithOneAndOpenNoLog) {
    const std::vector<std::vector<std::string>> cases = {
        {"-x"},
        {"g"},
        {"-g", "-d"},
        {"-a", "fabrics.txt", "-A", "127.0.0.2", "-g", "-d", "out.xml"},
        {"-p", "five5", "-g", "-d", "out.xml"},
        {"-L", "7"},
        {"-d", "-g"},
        {"-e", "#log", "-l"},
    };
    ZettleWorkspace workspace;
    for (const auto& arguments : cases) {
        const ZettleResult result = workspace.run(arguments);
        EXPECT_EQ(result.exitCode, 1) << arguments[0];
        EXPECT_EQ(result.output, UsageText + ExitBanner) << arguments[0];
    }
    EXPECT_FALSE(workspace.exists("pki_events.log"));
}

TEST(ZettleBatch, HelpShowsThreePagesWithoutWaitingAndEndsWith405) {
    ZettleWorkspace workspace;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"-h"}, {"-H"}, {"-g", "-h", "-x", "-p", "1"}}) {
        const ZettleResult result = workspace.run(arguments);
        EXPECT_EQ(result.exitCode, 405 & 0xFF);
        EXPECT_EQ(result.output.rfind("\n            HELP WITH COMMAND LINE USEAGE OF PKI "
                                      "CERTIFICATE UTILITY\n\n",
                                      0),
                  0u);
        std::size_t pages = 0;
        for (auto at = result.output.find("<Press Enter to Continue>"); at != std::string::npos;
             at = result.output.find("<Press Enter to Continue>", at + 1))
            ++pages;
        EXPECT_EQ(pages, 3u);
        EXPECT_NE(result.output.find("   Password must accompany \"-u UserLogin\" if provided.  "
                                     "It must be more\n   than 5 characters.\n"),
                  std::string::npos);
        EXPECT_TRUE(result.output.ends_with(ExitBanner));
    }
    EXPECT_FALSE(workspace.exists("pki_events.log"));
}

TEST(ZettleBatch, ATaskWithoutDataFileEndsWith13) {
    ZettleWorkspace workspace;
    const ZettleResult result = workspace.run({"-g"});
    EXPECT_EQ(result.exitCode, 13);
    EXPECT_EQ(result.output, ExitBanner);
    EXPECT_EQ(withoutTimes(workspace.readFile("pki_events.log")),
              Header + levelLine(2) +
                  "Operations Mode is BATCH \nThe task is to GET CSRS\n"
                  "ERROR: No switch Data file name was provided\n");
}

TEST(ZettleBatch, TaskOptionsGoToTheFabricsAndEndWithoutAddresses) {
    struct Case {
        std::vector<std::string> arguments;
        std::string taskLine;
    };
    const Case cases[] = {
        {{"-g", "-d", "csrs.xml"}, "The task is to GET CSRS\n"},
        {{"-G", "-d", "csrs.xml"}, "The task is to GET CSRS\n"},
        {{"-i", "-d", "certs.xml"}, "The task is to LOAD CERTIFICATES\n"},
        {{"-l", "-d", "report.xml"}, "The task is to DO LICENSE REPORT\n"},
    };
    for (const Case& c : cases) {
        ZettleWorkspace workspace;
        // Batch mode never reads its input: a closed one changes nothing.
        // Without an address the library's own address file is read, and
        // there is none.
        const ZettleResult result = workspace.run(c.arguments);
        EXPECT_EQ(result.exitCode, 31);
        EXPECT_EQ(result.output, "Initialize-Fabric-Access Failed.\n");
        EXPECT_EQ(withoutTimes(workspace.readFile("pki_events.log")),
                  Header + levelLine(2) + "Operations Mode is BATCH \n" + c.taskLine +
                      "ERROR: calling Initialize Fabric Access (-1)\n"
                      "No valid switch address given (-201)\n"
                      "ERROR: fabric connect failure; return status=-201;  Exit Zettle\n");
    }
}

TEST(ZettleBatch, TheEventLogIsAppendedToAndNamedByOptionOrConfiguration) {
    ZettleWorkspace workspace;
    workspace.run({"-g", "-d", "x.xml", "-e", "first.log", "-L", "0"});
    workspace.run({"-g", "-d", "x.xml", "-e", "first.log", "-L", "0"});
    const std::string once = Header + "Operations Mode is BATCH \nThe task is to GET CSRS\n";
    EXPECT_EQ(withoutTimes(workspace.readFile("first.log")), once + once);

    workspace.writeFile("pinned.config", "LOG_FILE_NAME config.log\n");
    workspace.run({"-g", "-d", "x.xml", "-e", "option.log"});
    EXPECT_TRUE(workspace.exists("config.log"));
    EXPECT_FALSE(workspace.exists("option.log"));
}

TEST(ZettleBatch, ALogThatCannotBeOpenedEndsWith12) {
    ZettleWorkspace workspace;
    const ZettleResult batch = workspace.run({"-g", "-d", "x.xml", "-e", "no/such/dir.log"});
    EXPECT_EQ(batch.exitCode, 12);
    EXPECT_EQ(batch.output, ExitBanner);

    const ZettleResult interactive = workspace.run({"-e", "no/such/dir.log"});
    EXPECT_EQ(interactive.exitCode, 12);
    EXPECT_EQ(interactive.output, "Error opening log file: name=no/such/dir.log\n" + ExitBanner);
}

TEST(ZettleBatch, DebugLevelEchoesTheParametersWithThePasswordMasked) {
    ZettleWorkspace workspace;
    workspace.writeFile("pinned.config",
                        "CA_SERVER_NAME ca.test\r\nCA_PORT 8443\r\n"
                        "REQUESTOR \"Jo Smith\"\r\nFAB_ADDR_FILE_NAME cfg.txt\r\n");
    const ZettleResult result = workspace.run({"-G", "-L", "3", "-u", "joe", "-p", "Secret99", "-d",
                                               "csrs.xml", "-a", "fabrics.txt", "-r", "REQ-1"});
    EXPECT_EQ(result.exitCode, 31); // no address file: no fabric
    const std::string log = workspace.readFile("pki_events.log");
    EXPECT_EQ(log.find("Secret99"), std::string::npos);
    EXPECT_NE(withoutTimes(log).find(Header + levelLine(3) +
                                     "\n\n Configuration Parameters:\n"
                                     "  PKI_TASK           =  Get-CSRs (401)\n"
                                     "  USER_LOGIN      =  joe\n"
                                     "  PASSWORD      =  ********\n"
                                     "  LOG_FILE_NAME      =  pki_events.log\n"
                                     "  DATA_FILE_NAME     =  csrs.xml\n"
                                     "  FAB_ADDR_FILE_NAME =  fabrics.txt\n"
                                     "  CA_SERVER_NAME     =  ca.test\n"
                                     "  CA_PORT            =  8443\n"
                                     "  MFG_REQUEST_ID     =  REQ-1\n"
                                     "  REQUESTOR          =  Jo Smith\n"
                                     "  DTD_LOCATION       =  ./switch_data.dtd\n"
                                     "  CSR_LIC_RPT_ON     =  1\n"
                                     "  CSR_GET_ALWAYS     =  1\n\n"
                                     "  RETRY_WAIT     =  2\n\n"
                                     "  NUM_RETRY     =  3\n\n"
                                     "  CONN_TIMEOUT     =  4\n\n"
                                     "  RECV_TIMEOUT     =  8\n\n"
                                     "  LogLevel     =  3\n\n"
                                     "Operations Mode is BATCH \nThe task is to GET CSRS\n"
                                     "Config file name: \"" +
                                     workspace.path("pinned.config") + "\" \n"),
              std::string::npos)
        << log;
}

TEST(ZettleBatch, TheConfigurationFileOverridesOptionsAndReportsItsErrors) {
    ZettleWorkspace workspace;
    // LOG_LEVEL 0 beats -L 3: the log holds its header alone.
    workspace.writeFile("pinned.config", "# quiet\nLOG_LEVEL 0\n");
    EXPECT_EQ(workspace.run({"-L", "3", "-e", "quiet.log"}).exitCode, 0);
    EXPECT_EQ(withoutTimes(workspace.readFile("quiet.log")), Header);

    // An error stops the file; what came before it stays, start-up goes on.
    workspace.writeFile("pinned.config", "LOG_LEVEL 1\nlog_level 3\n");
    const ZettleResult result = workspace.run({"-L", "3", "-e", "error.log"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output.rfind("\nCONFIG: Invalid system parameter: l (6c) \n\n", 0), 0u);
    EXPECT_EQ(withoutTimes(workspace.readFile("error.log")), Header + levelLine(1));
}

TEST(ZettleBatch, TheConfigurationFileIsNamedByTheEnvironmentElseTheCurrentDirectory) {
    ZettleWorkspace workspace;
    workspace.writeFile("zettle.config", "LOG_FILE_NAME local.log\n");
    workspace.writeFile("pinned.config", "LOG_FILE_NAME pinned.log\n");
    workspace.run({"-g", "-d", "x.xml"});
    EXPECT_TRUE(workspace.exists("pinned.log"));
    EXPECT_FALSE(workspace.exists("local.log"));

    workspace.setConfigFile("");
    workspace.run({"-g", "-d", "x.xml"});
    EXPECT_TRUE(workspace.exists("local.log"));

    workspace.setConfigFile(workspace.path("absent.config"));
    workspace.run({"-g", "-d", "x.xml"});
    EXPECT_TRUE(workspace.exists("pki_events.log"));
}

TEST(ZettleBatch, InteractiveModeEndsAtTheEndOfItsInput) {
    ZettleWorkspace workspace;
    // At the main menu: a quit.
    const ZettleResult menu = workspace.run({"-e", "menu.log"}, "5\n\n");
    EXPECT_EQ(menu.exitCode, 0);
    EXPECT_NE(menu.output.find("Unknown choice [5]"), std::string::npos);
    EXPECT_TRUE(menu.output.ends_with(ExitBanner));

    // At the log-file prompt: as "q", before any log is opened.
    const ZettleResult prompt = workspace.run({}, "");
    EXPECT_EQ(prompt.exitCode, 21);
    EXPECT_NE(prompt.output.find("\n   [pki_events.log] => "), std::string::npos);
    EXPECT_TRUE(prompt.output.ends_with(
        "\n\n  Sorry, a valid event log file name is required to proceed.\n\n"
        "  Press 'Enter' to try again (or 'q' to quit)> " +
        ExitBanner));
    EXPECT_FALSE(workspace.exists("pki_events.log"));

    // Enter takes the default name at once.
    const ZettleResult accepted = workspace.run({}, "\nq\ny\n");
    EXPECT_EQ(accepted.exitCode, 0);
    EXPECT_EQ(withoutTimes(workspace.readFile("pki_events.log")), Header + levelLine(2));
}

} // namespace
