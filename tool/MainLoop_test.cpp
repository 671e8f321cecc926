#include "MainLoop.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "FabricTasks.h"
#include "ScriptedChannel.h"
#include "Status.h"
#include "console_testing.h"

namespace {

const std::string FabricA = "00091000006069100001";
const std::string FabricB = "00091000006069200001";
const std::string SwitchA = "00021000006069100001";
const std::string SwitchB = "00021000006069200001";

// Records what each task was given.
class RecordingTasks : public FabricTasks {
public:
    int runInteractive(int task, const std::vector<FabricInfo>& fabrics,
                       int fabricNumber) override {
        fabricNumbers.push_back(fabricNumber);
        return record(task, fabrics);
    }
    int runBatch(int task, const std::vector<FabricInfo>& fabrics) override {
        return record(task, fabrics);
    }
    std::vector<std::string> runs; // task and fabric identifiers
    std::vector<int> fabricNumbers; // of the interactive runs
    int result = 0;

private:
    int record(int task, const std::vector<FabricInfo>& fabrics) {
        std::string run = std::to_string(task);
        for (const FabricInfo& fabric : fabrics)
            run += " " + fabric.fabricId;
        runs.push_back(run);
        return result;
    }
};

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class MainLoopTest : public ::testing::Test {
protected:
    MainLoopTest() {
        ::setenv("ZETTLE_CONFIG_FILE", (directory + "/absent.config").c_str(), 1);
        channel.fabrics = {FabricA, FabricB};
        channel.objects[FabricA] = fabricElement("10:00:00:60:69:10:00:01", {SwitchA});
        channel.objects[FabricB] = fabricElement("10:00:00:60:69:20:00:01", {SwitchB});
        channel.objects[SwitchA] = switchElement("SwitchName=\"alpha\" SwitchRole=\"0x236\"");
        channel.objects[SwitchB] = switchElement("SwitchName=\"beta\" SwitchRole=\"0x236\"");
        channel.logins[FabricA] = "admin/quorbelt";
        channel.logins[FabricB] = "admin/quorbelt";
    }

    int run(const std::string& input, std::vector<std::string> arguments) {
        console = std::make_unique<ScriptedConsole>(input);
        MainLoop zettle(console->console(), channel, &tasks);
        arguments.insert(arguments.begin(), {"zettle", "-e", log});
        std::vector<const char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(argument.c_str());
        return zettle.run(static_cast<int>(argv.size()), argv.data());
    }

    std::string addressesSent(std::size_t index = 0) const {
        const auto sent = channel.requestsOf("InitializeFabricAccess");
        if (index >= sent.size())
            return "(none)";
        return ScriptedChannel::between(sent[index], "vendor=\"quillon\" />\n", "</YarlRequest>");
    }

    std::string directory = testing::TempDir();
    std::string log = directory + "/main_loop_test.log";
    ScriptedChannel channel;
    RecordingTasks tasks;
    std::unique_ptr<ScriptedConsole> console;
};

TEST_F(MainLoopTest, BatchRunsTheTaskOverEveryFabricLoggedInto) {
    channel.logins.erase(FabricB);
    EXPECT_EQ(run("", {"-g", "-d", "out.xml", "-A", "127.0.0.5"}), 0);
    EXPECT_EQ(tasks.runs, std::vector<std::string>{"401 " + FabricA});
    EXPECT_EQ(addressesSent(), "<IPAddress value=\"127.0.0.5\" />\n");
    EXPECT_EQ(channel.initializeCalls, 1);
    EXPECT_NE(readFile(log).find("SUCCESS:  \n"), std::string::npos);
}

TEST_F(MainLoopTest, BatchAddressesComeFromTheFileUnlessOneIsGiven) {
    const std::string file = directory + "/addresses.txt";
    std::ofstream(file) << "127.0.0.5\r\n\n127.0.0.<6>\n127.0.0.7";
    EXPECT_EQ(run("", {"-i", "-d", "in.xml", "-a", file}), 0);
    EXPECT_EQ(addressesSent(), "<IPAddress value=\"127.0.0.5\" />\n"
                               "<IPAddress value=\"127.0.0.&lt;6&gt;\" />\n"
                               "<IPAddress value=\"127.0.0.7\" />\n");

    channel.requests.clear();
    EXPECT_EQ(run("", {"-l", "-d", "report.xml"}), 0);
    EXPECT_EQ(addressesSent(), ""); // the library reads its own address file
}

TEST_F(MainLoopTest, AnAddressFileGivesItsFirstFortyNineLines) {
    const std::string file = directory + "/sixty.txt";
    {
        std::ofstream out(file);
        for (int i = 1; i <= 60; ++i)
            out << "127.0.1." << i << "\n";
    }
    EXPECT_EQ(run("", {"-g", "-d", "out.xml", "-a", file}), 0);
    const std::string sent = addressesSent();
    EXPECT_NE(sent.find("\"127.0.1.49\""), std::string::npos);
    EXPECT_EQ(sent.find("\"127.0.1.50\""), std::string::npos);
}

TEST_F(MainLoopTest, BatchFailuresEndWithTheirStatus) {
    struct Case {
        const char* name;
        void (*arrange)(ScriptedChannel&);
        int status;
    };
    const Case cases[] = {
        {"command interface", [](ScriptedChannel& c) { c.initializeResult = false; },
         CommandInterfaceFailed},
        {"fabric access", [](ScriptedChannel& c) { c.initializeAccessResult = false; },
         InitializeFabricAccessFailed},
        {"no fabric", [](ScriptedChannel& c) { c.fabrics.clear(); }, NoFabricsFound},
        {"identities", [](ScriptedChannel& c) { c.identitiesResult = false; },
         GetFabricIdentitiesFailed},
        {"every login refused", [](ScriptedChannel& c) { c.logins.clear(); }, NoSessionOpened},
        {"no fabric object", [](ScriptedChannel& c) { c.objects.erase(FabricB); },
         NoFabricObjectRead},
    };
    const ScriptedChannel original = channel;
    for (const Case& c : cases) {
        channel = original;
        c.arrange(channel);
        EXPECT_EQ(run("", {"-g", "-d", "out.xml"}), c.status) << c.name;
        EXPECT_TRUE(tasks.runs.empty()) << c.name;
    }
    EXPECT_NE(readFile(log).find("ERROR: fabric connect failure; return status=-301;  Exit Zettle\n"),
              std::string::npos);

    channel = original;
    tasks.result = BatchInstallFailed;
    EXPECT_EQ(run("", {"-i", "-d", "in.xml"}), BatchInstallFailed);
    EXPECT_NE(readFile(log).find("ERROR Exit Zettle; return status=-506\n"), std::string::npos);
}

TEST_F(MainLoopTest, InteractiveFabricsStayConnectedUntilTheUserAsksForOthers) {
    const std::string data = directory + "/interactive_out.xml";
    std::remove(data.c_str());
    const std::string menu = "1\n";
    const std::string task = data + "\ny\nn\ny\n"; // file, confirmed; licences no; always yes
    const std::string input = menu + "1\n127.0.0.5\n\n" +   // manual addresses
                              "joe\npw\n\npw\n\npw\n\n" +   // joe refused, then admin twice
                              task + "a\n" +                  // all fabrics
                              menu + "y\n" + task + "1\n" +    // keep them; the first alone
                              menu + "n\n" +                  // other fabrics
                              "1\n127.0.0.6\n\n" + "\npw\n\npw\n\n" + "r\nr\n";
    channel.logins[FabricA] = "admin/pw";
    channel.logins[FabricB] = "admin/pw";
    EXPECT_EQ(run(input, {}), 0);
    EXPECT_EQ(tasks.runs, (std::vector<std::string>{"401 " + FabricA + " " + FabricB,
                                                    "401 " + FabricA}));
    EXPECT_EQ(addressesSent(0), "<IPAddress value=\"127.0.0.5\" />\n");
    EXPECT_EQ(addressesSent(1), "<IPAddress value=\"127.0.0.6\" />\n");
    EXPECT_EQ(channel.requestsOf("CloseFabricSessions").size(), 1u);
    const std::string shown = console->output();
    EXPECT_NE(shown.find("           Currently Connected Fabrics \n\n\n"
                         "   Fabric   World Wide Name         # Switches  Principal  \n"
                         "   ------  -----------------------  ----------  -----------\n"
                         "     *    10:00:00:60:69:10:00:01       1      alpha       \n"
                         "     *    10:00:00:60:69:20:00:01       1      beta        \n"),
              std::string::npos)
        << shown;
    // After "n" the name typed before is forgotten: the prompt has no default.
    const std::size_t other = shown.rfind("Use Currently Connected Fabrics?");
    ASSERT_NE(other, std::string::npos);
    EXPECT_NE(shown.find("\n  Login to fabric 1. principal switch WWN = 10:00:00:60:69:10:00:01\n"
                         "\n  Username: ",
                         other),
              std::string::npos);
    EXPECT_EQ(shown.find("pw"), std::string::npos);
}

TEST_F(MainLoopTest, InteractiveDataFileChecks) {
    const std::string existing = directory + "/existing.xml";
    std::ofstream(existing) << "<Switch_Data/>";
    const std::string fresh = directory + "/fresh.xml";
    std::remove(fresh.c_str());
    channel.logins[FabricA] = "admin/pw";
    channel.logins[FabricB] = "admin/pw";
    const std::string connect = "1\n127.0.0.5\n\n\npw\n\npw\n\n";
    // Refuse to overwrite, then give a new name; install needs a file that exists.
    const std::string input = "3\n" + connect + existing + "\ny\nn\n" + fresh + "\ny\na\n" +
                              "2\ny\n" + directory + "/absent.xml\ny\n\n" + existing + "\ny\n2\n";
    EXPECT_EQ(run(input, {}), 0);
    EXPECT_EQ(tasks.runs,
              (std::vector<std::string>{"403 " + FabricA + " " + FabricB, "402 " + FabricB}));
    // Fabric B is the second of the chooser, all fabrics start from the first.
    EXPECT_EQ(tasks.fabricNumbers, (std::vector<int>{1, 2}));
    const std::string shown = console->output();
    EXPECT_NE(shown.find("\n  **** WARNING, file, \"" + existing + "\", already exists!! ****\n"),
              std::string::npos);
    EXPECT_NE(shown.find("\n  **** ERROR, file, \"" + directory +
                         "/absent.xml\", was not found ****\n"),
              std::string::npos);
}

} // namespace
