// zettle against the switch simulator: the switch addresses, fabric access,
// the logins to two fabrics and the fabric tables, in batch runs and on a
// pseudo-terminal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ZettleProcess.h"
#include "tests/support/SwitchSimulator.h"

namespace {

// Two fabrics whose proxies are "@0" and "@1"; the batch login of zettle
// (admin with its default password) works on the first only unless
// `bothDefault`.
nlohmann::json twoFabrics(bool bothDefault) {
    const auto users = [](const std::string& password) {
        return nlohmann::json::array({{{"name", "admin"}, {"password", password}}});
    };
    return {{"fabrics",
             {{{"name", "A"},
               {"users", users("quorbelt")},
               {"switches",
                {{{"wwn", "10:00:00:60:69:10:00:01"},
                  {"name", "a-core"},
                  {"firmware", "v4.1.0"},
                  {"address", "@0"},
                  {"signingKey", "generate"}},
                 {{"wwn", "10:00:00:60:69:10:00:02"},
                  {"name", "a-edge"},
                  {"firmware", "v4.1.0"},
                  {"signingKey", "generate"}}}}},
              {{"name", "B"},
               {"users", users(bothDefault ? "quorbelt" : "other-pw")},
               {"switches",
                {{{"wwn", "10:00:00:60:69:20:00:01"},
                  {"name", "b-core"},
                  {"firmware", "v4.1.0"},
                  {"address", "@1"},
                  {"signingKey", "generate"}}}}}}}};
}

TEST(ZettleFabrics, BatchLogsInToEveryFabricOfTheAddressFile) {
    SwitchSimulator sim(twoFabrics(true));
    ZettleWorkspace workspace;
    workspace.writeFile("fabrics.txt", sim.address(0) + "\r\n\n" + sim.address(1) + "\n");
    const ZettleResult result =
        workspace.run({"-g", "-d", "csrs.xml", "-a", "fabrics.txt", "-L", "3"});
    const std::string log = workspace.readFile("pki_events.log");
    EXPECT_EQ(result.exitCode, 0) << result.output << log;
    // Every switch of both fabrics gave its signing request, under its name.
    const std::string csrs = workspace.readFile("csrs.xml");
    for (const char* name : {"a-core", "a-edge", "b-core"})
        EXPECT_NE(csrs.find(std::string("Name=\"") + name + "\" >\n    <CSR>-----BEGIN"),
                  std::string::npos)
            << name << csrs;
    EXPECT_NE(log.find("Get switch addresses/aliases from fabrics.txt\n"), std::string::npos);
    EXPECT_NE(log.find("GOT 2 FABRIC IDs: \n    <FABRICS OID=\"0009"), std::string::npos) << log;
    EXPECT_EQ(result.output.find("Login Failed"), std::string::npos) << result.output;
    // The first fabric's object was asked for after the logins.
    EXPECT_NE(log.find("<ObjectReference>00091000006069100001</ObjectReference>"),
              std::string::npos);
    EXPECT_EQ(log.find("quorbelt"), std::string::npos);
}

TEST(ZettleFabrics, BatchFailuresEndWithTheirExitCodes) {
    SwitchSimulator sim(twoFabrics(false));
    ZettleWorkspace workspace;

    // The -A address alone: fabric B, whose login refuses the default.
    ZettleResult result = workspace.run({"-i", "-d", "certs.xml", "-A", sim.address(1)});
    EXPECT_EQ(result.exitCode, 41) << result.output;
    EXPECT_EQ(result.output,
              "\n  Login Failed: fabric 1. principal switch WWN = 10:00:00:60:69:20:00:01 \n");
    EXPECT_NE(workspace.readFile("pki_events.log")
                  .find("ERROR: No Fabric sessions could be opened.\n"
                        "ERROR: fabric connect failure; return status=-301;  Exit Zettle\n"),
              std::string::npos);
    // Six attempts, each a login to the proxy of B.
    EXPECT_GE(sim.callCount(sim.address(1), 1), 6u);

    // With a login that B accepts.
    result = workspace.run({"-l", "-d", "report.xml", "-A", sim.address(1), "-u", "admin", "-p",
                            "other-pw", "-L", "3"});
    const std::string log = workspace.readFile("pki_events.log");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(log.find("Use the Switch Address: " + sim.address(1) + "\n"), std::string::npos);
    EXPECT_NE(log.find("GOT 1 FABRIC IDs"), std::string::npos);

    // Without any address the library's own address file is read: none here.
    result = workspace.run({"-g", "-d", "csrs.xml"});
    EXPECT_EQ(result.exitCode, 31);
    EXPECT_EQ(result.output, "Initialize-Fabric-Access Failed.\n");
}

TEST(ZettleFabrics, InteractiveLoginHidesThePasswordAndAsksAgain) {
    SwitchSimulator sim(twoFabrics(false));
    ZettleWorkspace workspace;
    auto zettle = workspace.start({"-e", "events.log"});
    zettle->readUntil("\n   Enter choice> ");
    zettle->type("1\n");
    zettle->readUntil("Choose a method for providing fabric addresses");
    zettle->readUntil("Enter choice> ");
    zettle->type("1\n");
    zettle->readUntil("  1 --> ");
    zettle->type(sim.address(0) + "\n");
    zettle->readUntil("  2 --> ");
    zettle->type(sim.address(1) + "\n");
    zettle->readUntil("  3 --> ");
    zettle->type("\n");

    zettle->readUntil("Login to fabric 1. principal switch WWN = 10:00:00:60:69:10:00:01\r\n");
    zettle->readUntil("  Username: ");
    zettle->type("\n");
    zettle->readUntil("  Password: ");
    zettle->type("wrong-pw\r");
    const std::string refused = zettle->readUntil("  Username [admin]: ");
    EXPECT_NE(refused.find("  Fabric 1 login refused, principal switch WWN = "
                           "10:00:00:60:69:10:00:01;\r\n\r\n"
                           "  Please enter login information within  5 tries:\r\n"),
              std::string::npos)
        << refused;
    zettle->type("\n");
    zettle->readUntil("  Password: ");
    zettle->type("quorbelt\r");
    zettle->readUntil("  Logged into fabric 1. principal switch WWN = 10:00:00:60:69:10:00:01");

    zettle->readUntil("Login to fabric 2. principal switch WWN = 10:00:00:60:69:20:00:01\r\n");
    zettle->readUntil("  Username [admin]: ");
    zettle->type("\n");
    zettle->readUntil("  Password: ");
    zettle->type("other-pw\r");
    zettle->readUntil("  Logged into fabric 2.");
    zettle->readUntil("   Press Enter to continue > ");
    zettle->type("\x04"); // the end of the input: every later prompt quits
    const ZettleResult result = zettle->finish();
    EXPECT_EQ(result.exitCode, 0) << result.output;
    for (const char* password : {"wrong-pw", "quorbelt", "other-pw"})
        EXPECT_EQ(result.output.find(password), std::string::npos);
    EXPECT_NE(workspace.readFile("events.log").find("Operations Mode is INTERACTIVE \n"),
              std::string::npos);
}

} // namespace
