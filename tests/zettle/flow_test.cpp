// zettle's main job against the switch simulator: signing requests from every
// switch of two fabrics, signed by a test authority into a certificate file,
// installed, reported, and skipped by the next collection; and a hostile
// certificate file that installs only what it should.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ZettleProcess.h"
#include "tests/support/SwitchSimulator.h"

namespace {

struct Switch {
    int fabric;
    const char* wwn;
    const char* name;
    const char* isn; // the ISN zettle writes: the name without colons
};

const Switch Switches[] = {
    {0, "10:00:00:60:69:10:00:01", "a-core", "1000006069100001"},
    {0, "10:00:00:60:69:10:00:02", "a-edge", "1000006069100002"},
    {1, "10:00:00:60:69:20:00:01", "b-core", "1000006069200001"},
};

nlohmann::json fabrics() {
    nlohmann::json document{{"fabrics", nlohmann::json::array()}};
    for (int f = 0; f < 2; ++f)
        document["fabrics"].push_back(
            {{"name", f == 0 ? "A" : "B"},
             {"users", {{{"name", "admin"}, {"password", "quorbelt"}}}},
             {"switches", nlohmann::json::array()}});
    for (const Switch& sw : Switches) {
        nlohmann::json entry{{"wwn", sw.wwn},
                             {"name", sw.name},
                             {"firmware", "v4.1.0"},
                             {"signingKey", "generate"}};
        if (std::string(sw.name).ends_with("core"))
            entry["address"] = "@" + std::to_string(sw.fabric);
        document["fabrics"][sw.fabric]["switches"].push_back(entry);
    }
    return document;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string hexOf(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 0xF];
    }
    return hex;
}

class ZettleFlow : public ::testing::Test {
protected:
    ZettleResult zettle(std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), {"-a", "fabrics.txt", "-L", "2"});
        return workspace_.run(arguments);
    }
    nlohmann::json source(const Switch& sw) {
        return sim_.request({{"op", "source"}, {"fabric", sw.fabric}, {"switch", sw.wwn}})["source"];
    }
    void SetUp() override {
        workspace_.writeFile("fabrics.txt", sim_.address(0) + "\n" + sim_.address(1) + "\n");
    }

    SwitchSimulator sim_{fabrics()};
    ZettleWorkspace workspace_;
};

TEST_F(ZettleFlow, CollectSignInstallReportAndSkipWhatIsCertified) {
    ZettleResult result = zettle({"-g", "-d", "csrs.xml"});
    ASSERT_EQ(result.exitCode, 0) << result.output << workspace_.readFile("pki_events.log");
    const std::string csrs = workspace_.readFile("csrs.xml");
    for (const Switch& sw : Switches)
        EXPECT_NE(csrs.find(std::string("<Switch ISN=\"") + sw.isn + "\""), std::string::npos)
            << sw.name << csrs;

    const std::string command = std::string(ZETTLE_SIGN_SCRIPT) + " " +
                                workspace_.path("csrs.xml") + " " +
                                workspace_.path("certs.xml") + " " + workspace_.path("ca") +
                                " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    result = zettle({"-i", "-d", "certs.xml"});
    std::string log = workspace_.readFile("pki_events.log");
    ASSERT_EQ(result.exitCode, 0) << result.output << log;
    EXPECT_NE(log.find("Load summary: 3 Certificates were loaded, 0 Certificate loads failed\n"),
              std::string::npos)
        << log;
    // Each switch holds its own certificate, byte for byte as signed.
    for (std::size_t i = 0; i < std::size(Switches); ++i) {
        const nlohmann::json state = source(Switches[i]);
        const std::string signedPem =
            readText(workspace_.path("ca") + "/switch-" + std::to_string(i) + ".pem");
        ASSERT_FALSE(signedPem.empty());
        EXPECT_EQ(state.value("installedCertificate", ""), hexOf(signedPem)) << Switches[i].name;
        EXPECT_TRUE(state.value("validCertificate", false)) << Switches[i].name;
    }

    result = zettle({"-l", "-d", "report.xml"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const std::string report = workspace_.readFile("report.xml");
    EXPECT_NE(report.find("<!DOCTYPE Switch_Data \n  SYSTEM \"./switch_data.dtd\" > \n"),
              std::string::npos);
    for (const Switch& sw : Switches)
        EXPECT_NE(report.find(std::string("Name=\"") + sw.name +
                              "\" >\n    <Licensed_Products> \n"
                              "      <Product >Valid Certificate</Product>\n"),
                  std::string::npos)
            << sw.name << report;

    // Every switch is certified now: a collection without -G asks none and
    // fails; with -G every switch is asked again.
    const std::size_t before = workspace_.readFile("pki_events.log").size();
    result = zettle({"-g", "-d", "again.xml"});
    log = workspace_.readFile("pki_events.log").substr(before);
    EXPECT_EQ(result.exitCode, 63) << result.output;
    for (const Switch& sw : Switches)
        EXPECT_NE(log.find(std::string("Note: Switch: ") + sw.name + " (WWN=" + sw.isn +
                           ") has a Certificate\n"),
                  std::string::npos)
            << log;
    EXPECT_EQ(log.find("byte CSR;"), std::string::npos) << log;
    result = zettle({"-g", "-G", "-d", "again.xml"});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(workspace_.readFile("again.xml").find("<CSR>-----BEGIN"), std::string::npos);
}

TEST_F(ZettleFlow, HostileCertificateFileInstallsOnlyTheSoundEntry) {
    // Every switch's own certificate, signed by the test authority.
    ZettleResult result = zettle({"-g", "-d", "csrs.xml"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const std::string command = std::string(ZETTLE_SIGN_SCRIPT) + " " +
                                workspace_.path("csrs.xml") + " " +
                                workspace_.path("signed.xml") + " " + workspace_.path("ca") +
                                " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string bCore = readText(workspace_.path("ca") + "/switch-2.pem");
    ASSERT_NE(bCore.find("-----BEGIN CERTIFICATE-----"), std::string::npos);

    const std::string file =
        "<?xml version='1.0' encoding='utf-8' ?>\n"
        "<Switch_Data Type=\"VOSK_OUT\" >\n"
        // Unknown switch.
        "  <Switch ISN=\"10:00:00:60:69:99:99:99\" ><Certificate>unknown</Certificate></Switch>\n"
        // Error entry that still carries a certificate.
        "  <Switch ISN=\"1000006069100001\" Status=\"Error\" >\n"
        "    <Error>refused by the authority</Error><Certificate>x</Certificate></Switch>\n"
        // Malformed switch name.
        "  <Switch ISN=\"10000060691000zz\" ><Certificate>bad</Certificate></Switch>\n"
        // Too long a certificate.
        "  <Switch ISN=\"1000006069100002\" ><Certificate>" +
        std::string(2049, 'A') +
        "</Certificate></Switch>\n"
        // The sound entry, its PEM text between blanks and empty lines.
        "  <Switch ISN=\"10:00:00:60:69:20:00:01\" Status=\" \" ><Certificate>\n\n    " + bCore +
        "\n   \n</Certificate></Switch>\n"
        "</Switch_Data>\n";
    workspace_.writeFile("certs.xml", file);
    result = zettle({"-i", "-d", "certs.xml"});
    std::string log = workspace_.readFile("pki_events.log");
    // Installed on b-core, but not on every switch the file names.
    EXPECT_EQ(result.exitCode, 68) << result.output << log;
    EXPECT_NE(log.find("Loaded Certificate onto Switch b-core; WWN=10:00:00:60:69:20:00:01\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Load summary: 1 Certificate was loaded, 1 Certificate load failed \n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("WARNING: no certificate for switch 1000006069100001 \n because: "
                       "refused by the authority\n"),
              std::string::npos);
    // What b-core holds is the PEM text alone, and it is valid.
    EXPECT_EQ(source(Switches[2]).value("installedCertificate", ""), hexOf(bCore));
    EXPECT_TRUE(source(Switches[2]).value("validCertificate", false));
    for (const Switch& sw : {Switches[0], Switches[1]})
        EXPECT_FALSE(source(sw).contains("installedCertificate")) << sw.name;

    // Certificates the switches accept but do not hold valid: another
    // switch's, and garbage in PEM form. Nothing is loaded.
    std::size_t before = log.size();
    workspace_.writeFile(
        "wrong.xml",
        "<?xml version='1.0'?>\n<Switch_Data>\n"
        "  <Switch ISN=\"1000006069100001\" ><Certificate>" + bCore + "</Certificate></Switch>\n"
        "  <Switch ISN=\"1000006069100002\" ><Certificate>-----BEGIN CERTIFICATE-----\nMIIBgood\n"
        "-----END CERTIFICATE-----\n</Certificate></Switch>\n</Switch_Data>\n");
    result = zettle({"-i", "-d", "wrong.xml"});
    log = workspace_.readFile("pki_events.log").substr(before);
    EXPECT_EQ(result.exitCode, 66) << result.output << log;
    EXPECT_EQ(log.find("Loaded Certificate onto"), std::string::npos) << log;
    for (const char* line : {"ERROR: Certificate not valid on Switch name=a-core, WWN=1000006069100001\n",
                             "ERROR: Certificate not valid on Switch name=a-edge, WWN=1000006069100002\n",
                             "Load summary: 0 Certificates were loaded, 2 Certificate loads failed\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line << log;
    for (const Switch& sw : {Switches[0], Switches[1]})
        EXPECT_FALSE(source(sw).value("validCertificate", true)) << sw.name;

    // A document type with an external entity: nothing is loaded or installed.
    workspace_.writeFile("secret.txt", "-----BEGIN CERTIFICATE-----\nleak\n");
    workspace_.writeFile("entities.xml",
                         "<?xml version='1.0'?>\n<!DOCTYPE Switch_Data [\n"
                         "  <!ENTITY leak SYSTEM \"file://" + workspace_.path("secret.txt") +
                             "\">\n  <!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">\n"
                             "  <!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
                             "  <!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n"
                             "]>\n<Switch_Data>\n"
                             "  <Switch ISN=\"1000006069100001\" ><Certificate>&leak;</Certificate></Switch>\n"
                             "  <Switch ISN=\"1000006069100002\" ><Certificate>&c;&c;&c;&c;</Certificate></Switch>\n"
                             "</Switch_Data>\n");
    before = workspace_.readFile("pki_events.log").size();
    result = zettle({"-i", "-d", "entities.xml"});
    log = workspace_.readFile("pki_events.log").substr(before);
    EXPECT_EQ(result.exitCode, 66) << result.output << log;
    EXPECT_NE(log.find("ERROR: the certificate file is not well-formed XML"), std::string::npos)
        << log;
    EXPECT_EQ(log.find("Certificate onto"), std::string::npos) << log;
    EXPECT_EQ(log.find("Certificate not valid"), std::string::npos) << log;
}

// A switch that reports no firmware version does not tell whether its
// certificate is valid: its installation is not counted as loaded, the
// report says so, and the next collection still asks it.
TEST(ZettleFlowUnknownState, ASwitchWithoutFirmwareVersionIsNeitherLoadedNorUncertified) {
    SwitchSimulator sim(nlohmann::json{{"fabrics",
                          {{{"name", "A"},
                            {"users", {{{"name", "admin"}, {"password", "quorbelt"}}}},
                            {"switches",
                             {{{"wwn", "10:00:00:60:69:10:00:01"},
                               {"name", "a-core"},
                               {"firmware", "v4.1.0"},
                               {"address", "@0"},
                               {"signingKey", "generate"}},
                              {{"wwn", "10:00:00:60:69:10:00:02"},
                               {"name", "a-old"},
                               {"signingKey", "generate"}}}}}}}});
    ZettleWorkspace workspace;
    workspace.writeFile("fabrics.txt", sim.address(0) + "\n");
    const auto zettle = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), {"-a", "fabrics.txt", "-L", "2"});
        return workspace.run(arguments);
    };
    ZettleResult result = zettle({"-g", "-d", "csrs.xml"});
    ASSERT_EQ(result.exitCode, 0) << result.output << workspace.readFile("pki_events.log");
    const std::string command = std::string(ZETTLE_SIGN_SCRIPT) + " " +
                                workspace.path("csrs.xml") + " " + workspace.path("certs.xml") +
                                " " + workspace.path("ca") + " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    std::size_t before = workspace.readFile("pki_events.log").size();
    result = zettle({"-i", "-d", "certs.xml"});
    std::string log = workspace.readFile("pki_events.log").substr(before);
    EXPECT_EQ(result.exitCode, 68) << result.output << log;
    EXPECT_NE(log.find("Loaded Certificate onto Switch a-core;"), std::string::npos) << log;
    EXPECT_EQ(log.find("Loaded Certificate onto Switch a-old"), std::string::npos) << log;
    EXPECT_EQ(log.find("Loaded Certificate onto Switch ;"), std::string::npos) << log;
    EXPECT_NE(log.find("Load summary: 1 Certificate was loaded, 0 Certificate loads failed\n"
                       "Load summary: 1 Certificate state is unknown\n"),
              std::string::npos)
        << log;

    result = zettle({"-l", "-d", "report.xml"});
    const std::string report = workspace.readFile("report.xml");
    EXPECT_NE(report.find("Name=\"a-core\" >\n    <Licensed_Products> \n"
                          "      <Product >Valid Certificate</Product>\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\n      <Product >Certificate State Unknown</Product>\n"),
              std::string::npos)
        << report;

    before = workspace.readFile("pki_events.log").size();
    result = zettle({"-g", "-d", "again.xml"});
    log = workspace.readFile("pki_events.log").substr(before);
    EXPECT_EQ(result.exitCode, 0) << result.output << log;
    EXPECT_NE(log.find("certificate state unknown\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Note: Switch: a-core (WWN=1000006069100001) has a Certificate\n"),
              std::string::npos)
        << log;
    EXPECT_NE(workspace.readFile("again.xml").find("<CSR>-----BEGIN"), std::string::npos);
}

} // namespace
