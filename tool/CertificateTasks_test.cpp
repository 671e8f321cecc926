#include "CertificateTasks.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "CertificateInstall.h"
#include "CsrCollection.h"
#include "ScriptedChannel.h"
#include "Status.h"
#include "SystemParameters.h"
#include "ToolContext.h"
#include "console_testing.h"

namespace {

// Switches whose objects say their certificate is valid, not valid, or say
// nothing (no firmware version), and one that refuses every installation.
const std::string Valid = "00021000006069100001";
const std::string NotValid = "00021000006069100002";
const std::string Silent = "00021000006069100003";
const std::string Refusing = "00021000006069100004";

// What the scripted library was sent, by switch.
std::map<std::string, std::string> installed;
std::vector<std::string> asked;

int install(const char* switchOid, const char* certificate) {
    installed[switchOid] = certificate;
    return switchOid == Refusing ? -5 : 0;
}

char signingRequest[] = "-----BEGIN CERTIFICATE REQUEST-----\nMIIB\n-----END CERTIFICATE REQUEST-----\n";

int getRequest(const char* switchOid, char** request) {
    asked.push_back(switchOid);
    if (switchOid == Refusing)
        return -25;
    *request = signingRequest;
    return 0;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

SwitchInfo switchInfo(const std::string& oid, const std::string& name) {
    SwitchInfo entry;
    entry.switchOID = oid;
    entry.ISN = oid.substr(4);
    entry.assignedWWN = entry.ISN;
    entry.WWN = entry.ISN;
    entry.name = name;
    return entry;
}

std::string certificateEntry(const std::string& oid, const std::string& certificate,
                             const std::string& attributes = "") {
    return "  <Switch ISN=\"" + oid.substr(4) + "\"" + attributes + " ><Certificate>" +
           certificate + "</Certificate></Switch>\n";
}

const std::string Pem = "-----BEGIN CERTIFICATE-----\nMIIBvalid\n-----END CERTIFICATE-----\n";

class CertificateTasksTest : public ::testing::Test {
protected:
    CertificateTasksTest() {
        installed.clear();
        asked.clear();
        parameters.operationsMode = BatchMode;
        parameters.DATA_FILE_NAME = directory + "/certificate_tasks_" + testName + ".xml";
        parameters.eventLog.open(logPath, 2);
        channel.objects[Valid] =
            switchElement("SwitchName=\"valid\" ValidCertificateInstalled=\"1\"");
        channel.objects[NotValid] =
            switchElement("SwitchName=\"notvalid\" ValidCertificateInstalled=\"0\"");
        channel.objects[Silent] = switchElement("SwitchName=\"silent\"");
        channel.objects[Refusing] =
            switchElement("SwitchName=\"refusing\" ValidCertificateInstalled=\"0\"");
        FabricInfo& fabric = fabrics.emplace_back();
        fabric.fabricId = "00091000006069100001";
        fabric.wwn = "10:00:00:60:69:10:00:01";
        for (const auto& [oid, name] : {std::pair{Valid, "valid"}, {NotValid, "notvalid"},
                                        {Silent, "silent"}, {Refusing, "refusing"}})
            fabric.switches.push_back(switchInfo(oid, name));
        fabric.numSwitches = static_cast<std::int32_t>(fabric.switches.size());
    }
    ~CertificateTasksTest() override {
        std::remove(logPath.c_str());
        std::remove(parameters.DATA_FILE_NAME.c_str());
    }

    std::string log() {
        parameters.eventLog.flush();
        return readFile(logPath);
    }
    void writeCertificates(const std::string& entries) {
        std::ofstream(parameters.DATA_FILE_NAME)
            << "<?xml version='1.0'?>\n<Switch_Data Type=\"VOSK_OUT\">\n" + entries +
                   "</Switch_Data>\n";
    }

    // Each test its own files: CTest runs the tests side by side.
    std::string directory = testing::TempDir();
    std::string testName = testing::UnitTest::GetInstance()->current_test_info()->name();
    std::string logPath = directory + "/certificate_tasks_" + testName + ".log";
    SystemParameters parameters;
    std::unique_ptr<ScriptedConsole> console = std::make_unique<ScriptedConsole>("");
    ScriptedChannel channel;
    ToolContext context{parameters, console->console(), channel};
    CertificateLibrary library{&getRequest, &install};
    std::vector<FabricInfo> fabrics;
};

TEST_F(CertificateTasksTest, OnlyACertificateTheSwitchReportsValidIsLoaded) {
    writeCertificates(
        // Blanks and line breaks around the PEM text, and a blank Status.
        certificateEntry(Valid, "\n   \t" + Pem + "\n\n  ", " Status=\"  \"") +
        certificateEntry(NotValid, "garbage") + certificateEntry(Silent, Pem) +
        certificateEntry(Refusing, Pem) +
        // Marked by the authority: nothing to send.
        "  <Switch ISN=\"1000006069100001\" Status=\"Error\"><Error>refused</Error>"
        "<Certificate>x</Certificate></Switch>\n");
    std::string document;
    ASSERT_GT(readSwitchDataFile(context, document), 0);
    const CertificateLoad load = loadCertificates(context, library, fabrics, document);
    EXPECT_EQ(load.loaded, 1);
    EXPECT_EQ(load.failed, 2);
    EXPECT_EQ(load.unknown, 1);
    EXPECT_EQ(load.unusable, 1);
    EXPECT_TRUE(load.incomplete());
    EXPECT_EQ(installed[Valid], Pem);
    EXPECT_EQ(installed[NotValid], "garbage");
    EXPECT_EQ(installed.size(), 4u); // the error entry's certificate was not sent

    const std::string text = log();
    EXPECT_NE(text.find("Loaded Certificate onto Switch valid; WWN=1000006069100001\n"),
              std::string::npos)
        << text;
    for (const char* name : {"notvalid", "silent", "refusing"})
        EXPECT_EQ(text.find(std::string("Loaded Certificate onto Switch ") + name),
                  std::string::npos)
            << name;
    EXPECT_NE(text.find("ERROR: Certificate not valid on Switch name=notvalid, "
                        "WWN=1000006069100002\n"),
              std::string::npos);
    EXPECT_NE(text.find("WARNING: Certificate sent to Switch name=silent, WWN=1000006069100003; "
                        "its certificate state is unknown\n"),
              std::string::npos);
    EXPECT_NE(text.find("Load summary: 1 Certificate was loaded, 2 Certificate loads failed\n"
                        "Load summary: 1 Certificate state is unknown\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("WARNING: no certificate for switch 1000006069100001 \n because: refused\n"),
              std::string::npos);
}

TEST_F(CertificateTasksTest, InteractiveLoadSaysWhatTheSwitchesReport) {
    parameters.operationsMode = InteractiveMode;
    writeCertificates(certificateEntry(Valid, Pem) + certificateEntry(NotValid, Pem) +
                      certificateEntry(Silent, Pem) + certificateEntry(Silent, Pem));
    std::string document;
    ASSERT_GT(readSwitchDataFile(context, document), 0);
    const CertificateLoad load = loadCertificates(context, library, fabrics, document);
    EXPECT_EQ(load.loaded, 1);
    const std::string shown = console->output();
    EXPECT_NE(shown.find("   1.  Loaded Certificate on Switch valid; WWN=1000006069100001\n"),
              std::string::npos)
        << shown;
    EXPECT_EQ(shown.find("Loaded Certificate on Switch notvalid"), std::string::npos);
    EXPECT_EQ(shown.find("Loaded Certificate on Switch silent"), std::string::npos);
    EXPECT_NE(shown.find("ERROR: Certificate not valid on Switch notvalid, WWN=1000006069100002\n"),
              std::string::npos);
    EXPECT_NE(shown.find("   1 Certificate was loaded,\n   1 Certificate load failed \n"
                         "   2 Certificate states are unknown\n"),
              std::string::npos)
        << shown;
}

TEST_F(CertificateTasksTest, BlankAndMarkedEntries) {
    const struct {
        const char* what;
        std::string entry;
        bool sent;
    } cases[] = {
        {"blank Status and Error", certificateEntry(Valid, Pem, " Status=\"\t \"") , true},
        {"Error without Status",
         "  <Switch ISN=\"1000006069100001\"><Error>x</Error><Certificate>" + Pem +
             "</Certificate></Switch>\n",
         true},
        {"Status with a blank Error",
         "  <Switch ISN=\"1000006069100001\" Status=\"Error\"><Error> \n</Error><Certificate>" +
             Pem + "</Certificate></Switch>\n",
         true},
        {"Status and Error", "  <Switch ISN=\"1000006069100001\" Status=\"Error\"><Error>no</Error>"
                             "<Certificate>" + Pem + "</Certificate></Switch>\n",
         false},
        {"a certificate of blanks only", certificateEntry(Valid, " \n\t\n "), false},
    };
    for (const auto& c : cases) {
        installed.clear();
        writeCertificates(c.entry);
        std::string document;
        ASSERT_GT(readSwitchDataFile(context, document), 0);
        const CertificateLoad load = loadCertificates(context, library, fabrics, document);
        EXPECT_EQ(installed.count(Valid) == 1, c.sent) << c.what;
        EXPECT_EQ(load.loaded, c.sent ? 1 : 0) << c.what;
        EXPECT_EQ(load.unusable, c.sent ? 0 : 1) << c.what;
    }
}

TEST(CertificateText, TrimmedToThePemTextAndOneLineFeed) {
    const struct {
        std::string text;
        std::string sent;
    } cases[] = {
        {"", ""},
        {" \r\n\t ", ""},
        {"A", "A"},
        {" A \t", "A"},
        {"\r\n  -----BEGIN X-----\nB\n-----END X-----\r\n\n ", "-----BEGIN X-----\nB\n-----END X-----\n"},
        {"a\n\n b\n", "a\n\n b\n"}, // inside the text nothing changes
    };
    for (const auto& c : cases)
        EXPECT_EQ(trimmedCertificate(c.text), c.sent) << c.text;
}

TEST_F(CertificateTasksTest, ABatchTaskInWhichASwitchFailedEndsWithItsStatus) {
    CertificateTasks tasks(context, library);

    // Installation: every switch valid; one not valid; one of unknown state;
    // none installed.
    const struct {
        const char* what;
        std::string entries;
        int status;
    } installs[] = {
        {"all valid", certificateEntry(Valid, Pem), 0},
        {"one not valid", certificateEntry(Valid, Pem) + certificateEntry(NotValid, Pem),
         InstallIncomplete},
        {"one unknown", certificateEntry(Valid, Pem) + certificateEntry(Silent, Pem),
         InstallIncomplete},
        {"one refused", certificateEntry(Valid, Pem) + certificateEntry(Refusing, Pem),
         InstallIncomplete},
        {"one error entry",
         certificateEntry(Valid, Pem) +
             "  <Switch ISN=\"1000006069100002\" Status=\"Error\"><Error>no</Error></Switch>\n",
         InstallIncomplete},
        {"one for a switch outside the fabric",
         certificateEntry(Valid, Pem) + certificateEntry("00021000006069999999", Pem), 0},
        {"none valid", certificateEntry(NotValid, Pem) + certificateEntry(Silent, Pem),
         BatchInstallFailed},
    };
    for (const auto& c : installs) {
        writeCertificates(c.entries);
        EXPECT_EQ(tasks.runBatch(InstallTask, fabrics), c.status) << c.what;
    }
    EXPECT_NE(log().find("Error: not every Certificate was loaded: 1 failed, 0 with unknown state, "
                         "0 entries without a certificate (status=-508)\n"),
              std::string::npos);

    // Collection: one switch gives no request, the others' are written.
    EXPECT_EQ(tasks.runBatch(CollectTask, fabrics), CollectIncomplete);
    const std::string csrs = readFile(parameters.DATA_FILE_NAME);
    EXPECT_NE(csrs.find("Name=\"silent\" >\n    <CSR>-----BEGIN"), std::string::npos) << csrs;
    EXPECT_EQ(csrs.find("Name=\"refusing\""), std::string::npos);
    // The valid switch is passed over; the one of unknown state is asked.
    EXPECT_EQ(asked, (std::vector<std::string>{NotValid, Silent, Refusing}));
    EXPECT_NE(log().find("Note: Switch: silent (WWN=1000006069100003) certificate state unknown\n"),
              std::string::npos);
    fabrics[0].switches.pop_back();
    EXPECT_EQ(tasks.runBatch(CollectTask, fabrics), 0);

    // Report: a switch whose object cannot be read.
    EXPECT_EQ(tasks.runBatch(ReportTask, fabrics), 0);
    const std::string report = readFile(parameters.DATA_FILE_NAME);
    EXPECT_NE(report.find("Name=\"silent\" >\n    <Licensed_Products> \n"
                          "      <Product >Certificate State Unknown</Product>\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("Name=\"valid\" >\n    <Licensed_Products> \n"
                          "      <Product >Valid Certificate</Product>\n"),
              std::string::npos);
    EXPECT_NE(report.find("Name=\"notvalid\" >\n    <Licensed_Products> \n    </Licensed_Products>"),
              std::string::npos);
    channel.objects.erase(NotValid);
    EXPECT_EQ(tasks.runBatch(ReportTask, fabrics), ReportIncomplete);
}

TEST_F(CertificateTasksTest, InteractiveMessagesNameTheChosenFabric) {
    parameters.operationsMode = InteractiveMode;
    console = std::make_unique<ScriptedConsole>("\n\n\n\n");
    ToolContext interactive{parameters, console->console(), channel};
    CertificateTasks tasks(interactive, library);
    for (SwitchInfo& entry : fabrics[0].switches)
        entry.switchOID.clear(); // no switch gives a request
    EXPECT_EQ(tasks.runInteractive(CollectTask, fabrics, 3), -1);
    EXPECT_NE(console->output().find("  No CSRs were retrieved from fabric 3:\n"),
              std::string::npos)
        << console->output();
    writeCertificates(certificateEntry(NotValid, Pem));
    EXPECT_EQ(tasks.runInteractive(InstallTask, fabrics, 3), -1);
    EXPECT_NE(log().find("Error: Failure loading Certificates on fabric # 3 (status=0) \n"),
              std::string::npos);
}

} // namespace
