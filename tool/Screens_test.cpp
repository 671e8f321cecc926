#include "Screens.h"

#include <gtest/gtest.h>

#include <string>

#include "Status.h"
#include "SystemParameters.h"
#include "console_testing.h"

namespace {

const std::string Version = "pki_v1.0.5";

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST(Screens, ReadChoiceGivesNumbersLettersQuitsAndUnknownChoices) {
    struct Case {
        std::string input;
        std::string letters;
        int high;
        int expected;
        std::string shown; // part of the output, or empty for none at all
    };
    const Case cases[] = {
        {"2\n", "qQ", 4, 2, ""},
        {"12abc\n", "qQ", 20, 12, ""},
        {"5\n\n", "qQ", 4, ShowAgain,
         "\n\n\n\n      Unknown choice [5] \n\n\n  Press Enter to Continue.\n"},
        {"0\n\n", "qQ", 4, ShowAgain, "Unknown choice [0]"},
        {"q\ny\n", "qQ", 4, QuitConfirmed, "\n\n\n\n     QUIT? (y/n) "},
        {"Q\nY\n", "qQ", 4, QuitConfirmed, "QUIT? (y/n) "},
        {"q\nn\n", "qQ", 4, ShowAgain, "QUIT? (y/n) "},
        {"q\n", "qQ", 4, QuitConfirmed, "QUIT?"}, // the input ends at the question
        {"", "qQ", 4, QuitConfirmed, ""},         // and before it
        {"\n\n", "qQ", 4, ShowAgain, "Unknown choice [ ]"},
        {"\x01x\n\n", "qQ", 4, ShowAgain, "Unknown choice [ ]"},
        {"x\n\n", "qQ", 4, ShowAgain, "Unknown choice [x]"},
        {"r\n", "ra", 2, 'r', ""},
        {"a\n", "ra", 2, 'a', ""},
        {"A\n\n", "ra", 2, ShowAgain, "Unknown choice [A]"},
        {"q\n\n", "ra", 2, ShowAgain, "Unknown choice [q]"},
    };
    for (const Case& c : cases) {
        ScriptedConsole console(c.input);
        Screens screens(console.console(), Version);
        EXPECT_EQ(screens.readChoice(c.letters, 1, c.high), c.expected) << c.input;
        if (c.shown.empty())
            EXPECT_EQ(console.output(), "") << c.input;
        else
            EXPECT_NE(console.output().find(c.shown), std::string::npos) << console.output();
    }
}

TEST(Screens, MainMenuGivesTasksAndQuitsOnlyWhenConfirmed) {
    struct Case {
        std::string input;
        int expected;
        std::size_t menus;
    };
    const Case cases[] = {
        {"1\n", CollectTask, 1},      {"2\n", InstallTask, 1},
        {"3\n", ReportTask, 1},       {"5\n\nq\nn\nQ\ny\n", QuitConfirmed, 3},
        {"4\nn\n3\n", ReportTask, 2}, {"", QuitConfirmed, 1},
        {"7\n", QuitConfirmed, 2}, // the input ends at the unknown choice
    };
    for (const Case& c : cases) {
        ScriptedConsole console(c.input);
        Screens screens(console.console(), Version);
        EXPECT_EQ(screens.mainMenu(), c.expected) << c.input;
        const std::string shown = console.output();
        EXPECT_EQ(count(shown, "   Enter choice> "), c.menus) << c.input;
        EXPECT_NE(shown.find("\n\n\n                  PKI CERTIFICATE INSTALLATION UTILITY "
                             "pki_v1.0.5\n\n                                 FUNCTIONS \n\n"
                             "\n   1)   Retrieve CSRs from switches & write a CSR file \n"
                             "\n   2)   Install Certificates contained in a Certificate file \n"
                             "\n   3)   Generate a Licensed-Product/Installed-Certificates "
                             "report \n"
                             "\n   4)   Help using Zettle to get & install certificates\n"
                             "\n   q)   Quit PKI Certificate installation utility \n"
                             "\n   Enter choice> "),
                  std::string::npos);
    }
}

TEST(Screens, MainMenuShowsTheHelpScreens) {
    ScriptedConsole console("4\ny\n\n\n\nq\ny\n");
    Screens screens(console.console(), Version);
    EXPECT_EQ(screens.mainMenu(), QuitConfirmed);
    const std::string shown = console.output();
    EXPECT_NE(shown.find("Merrowix"), std::string::npos);
    EXPECT_NE(shown.find("\n   Read help for Batch/Command-line mode usage (y/n)? >"),
              std::string::npos);
    EXPECT_NE(shown.find("HELP WITH COMMAND LINE USEAGE OF PKI CERTIFICATE UTILITY"),
              std::string::npos);
    EXPECT_EQ(count(shown, "\n     <Press Enter to Continue> "), 3u);
    EXPECT_NE(shown.find("-----  END Of HELP With Batch Usage  -----"), std::string::npos);
    EXPECT_EQ(count(shown, "   Enter choice> "), 2u);
}

TEST(Screens, AddressMethodChoices) {
    struct Case {
        std::string input;
        int expected;
    };
    const Case cases[] = {
        {"1\n", ManualAddresses}, {"2\n", AddressFile},      {"r\n", ShowAgain},
        {"R\n", ShowAgain},       {"q\n\n2\n", AddressFile}, {"", QuitConfirmed},
    };
    for (const Case& c : cases) {
        ScriptedConsole console(c.input);
        Screens screens(console.console(), Version);
        EXPECT_EQ(screens.chooseAddressMethod(), c.expected) << c.input;
        EXPECT_NE(
            console.output().find("            Choose a method for providing fabric addresses\n\n"
                                  "\n    1)   Manually enter fabric address \n"
                                  "\n    2)   Read addresses from a file (name to be given) \n"
                                  "\n    r)   Return to Main menu \n\n    Enter choice> "),
            std::string::npos);
    }
}

TEST(Screens, FabricChooserListsFabricsWithTheirPrincipalSwitch) {
    std::vector<FabricInfo> fabrics(2);
    fabrics[0].wwn = "10:00:00:60:69:00:00:01";
    fabrics[0].numSwitches = 2;
    fabrics[0].switches = {SwitchInfo{}, SwitchInfo{}};
    fabrics[0].switches[0].name = "edge";
    fabrics[0].switches[1].name = "core";
    fabrics[0].switches[1].swRole = PrincipalSwitchRole;
    fabrics[1].wwn = "10:00:00:60:69:00:00:02";
    fabrics[1].numSwitches = 1;
    fabrics[1].switches = {SwitchInfo{}};

    struct Case {
        std::string input;
        int expected;
    };
    const Case cases[] = {
        {"2\n", 2}, {"A\n\na\n", 'a'}, {"3\n\nr\n", 'r'}, {"q\n\n1\n", 1}, {"", 'r'},
    };
    for (const Case& c : cases) {
        ScriptedConsole console(c.input);
        Screens screens(console.console(), Version);
        EXPECT_EQ(screens.chooseFabric(fabrics), c.expected) << c.input;
        const std::string shown = console.output();
        EXPECT_NE(shown.find("\n\n           PKI CERTIFICATE INSTALLATION UTILITY pki_v1.0.5  \n\n"
                             "\n\n      Choose a Fabric On Which to Operate \n\n\n"),
                  std::string::npos)
            << shown;
        EXPECT_NE(shown.find("     1)    10:00:00:60:69:00:00:01       2      core        \n\n"
                             "     2)    10:00:00:60:69:00:00:02       1      Unknown     \n\n"
                             "\n     a)    All Fabrics \n\n"
                             "     r)    Return to Functions menu \n\n"
                             "\n     enter your choice> "),
                  std::string::npos)
            << shown;
    }
}

TEST(Screens, FileNamePromptBuildsAndConfirmsNames) {
    struct Case {
        int kind;
        std::string name;
        std::string input;
        int expected;
        std::string result;
        std::size_t questions; // "correct? (y/n)" asked
    };
    const Case cases[] = {
        {CollectTask, "", "csrs\ny\n", 8, "csrs.xml", 1},
        {CollectTask, "", "csrs.XML\ny\n", 12, "csrs.XML.xml", 1},
        {CollectTask, "", "dir/out.xml\ny\n", 11, "dir/out.xml", 1},
        {ReportTask, "", "rep\nn\nrep2\ny\n", 8, "rep2.xml", 2},
        {ReportTask, "old.xml", "new\nY\n\n", 7, "old.xml", 1}, // only "y" accepts
        {InstallTask, "", "certs\ny\n", 9, "certs.xml", 1},
        {InstallTask, "", "certs.txt\ny\n", 9, "certs.txt", 1},
        {EventLogFileKind, "pki_events.log", "\n", 14, "pki_events.log", 0},
        {EventLogFileKind, "pki_events.log", "mylog\n", 9, "mylog.xml", 0},
        {EventLogFileKind, "pki_events.log", "ab\n", 2, "pki_events.log", 0},
        // A data file of one or two characters is a name, not the default kept.
        {CollectTask, "old.xml", "ab\ny\n", 6, "ab.xml", 1},
        {InstallTask, "old.xml", "c\ny\n", 5, "c.xml", 1},
        {ReportTask, "", "r\ny\n", 5, "r.xml", 1},
        {EventLogFileKind, "pki_events.log", "a.b\ny\n", 3, "a.b", 1},
        {AddressFileKind, "", "fabrics.txt\n", 11, "fabrics.txt", 0},
        {AddressFileKind, "", "x\n", 1, "", 0},
        {999, "", "list.txt\ny\n", 8, "list.txt", 1},
        {CollectTask, "keep", "", 0, "keep", 0},
        {InstallTask, "", "certs\n", 0, "", 1},
    };
    for (const Case& c : cases) {
        ScriptedConsole console(c.input);
        Screens screens(console.console(), Version);
        std::string name = c.name;
        EXPECT_EQ(screens.promptFileName(c.kind, name), c.expected) << c.input;
        EXPECT_EQ(name, c.result) << c.input;
        EXPECT_EQ(count(console.output(), " correct? (y/n):  "), c.questions) << c.input;
    }
}

TEST(Screens, FileNamePromptShowsTheScreenOfItsKind) {
    struct Case {
        int kind;
        std::string name;
        std::string shown;
    };
    const Case cases[] = {
        {CollectTask, "",
         "\n\n\n             PKI CERTIFICATE INSTALLATION UTILITY pki_v1.0.5\n\n"
         "                 GET CERTIFICATE SIGNING REQUESTS \n\n"
         "    You must enter the file-name of the CSR output file to create.\n"
         "       ______________________________________________________\n"},
        {InstallTask, "x",
         "                       LOAD CERTIFICATES \n\n\n\n"
         "      Enter the file-name of the Certificates input file. \n\n"
         "\n   File Name ===> "},
        {ReportTask, "",
         "\n\n\n           PKI CERTIFICATE INSTALLATION UTILITY pki_v1.0.5\n\n"
         "                CREATE REPORT ON LICENSED PRODUCTS \n\n\n\n"
         "    You must enter the file-name of the Report file to write.\n"
         "       ______________________________________________________\n"
         "       | Note:                                              |\n"},
        {EventLogFileKind, "pki_events.log",
         "   Enter a log file name [or just press Enter to accept the default].\n\n"
         "\n   [pki_events.log] => "},
        {AddressFileKind, "", "\n\n\n\n\n Enter the file-name of the Fabric Address file.\n"},
        {1, "", "\n\n\n\n\n Enter the file-name of the file.\n\n   File Name ===> "},
    };
    for (const Case& c : cases) {
        ScriptedConsole console("");
        Screens screens(console.console(), Version);
        std::string name = c.name;
        screens.promptFileName(c.kind, name);
        EXPECT_NE(console.output().find(c.shown), std::string::npos) << console.output();
    }
}

TEST(Screens, EnteredAddressesAreTrimmedAndEscaped) {
    ScriptedConsole console("  127.0.0.5\t\n\tswitch-a \nx&<\"'>\n\nnot read\n");
    Screens screens(console.console(), Version);
    std::string list = "<IPAddress value=\"before\" />\n";
    EXPECT_EQ(screens.enterAddresses(list), 3);
    EXPECT_EQ(list, "<IPAddress value=\"before\" />\n"
                    "<IPAddress value=\"127.0.0.5\" />\n"
                    "<IPAddress value=\"switch-a\" />\n"
                    "<IPAddress value=\"x&amp;&lt;&quot;&apos;&gt;\" />\n");
    const std::string shown = console.output();
    EXPECT_NE(shown.find("  1 --> "), std::string::npos);
    EXPECT_NE(shown.find("  4 --> \n\n"), std::string::npos);
    EXPECT_EQ(shown.find("  5 --> "), std::string::npos);

    ScriptedConsole ended("127.0.0.6");
    Screens again(ended.console(), Version);
    std::string other;
    EXPECT_EQ(again.enterAddresses(other), 1); // a last line without a line break counts
    EXPECT_EQ(again.enterAddresses(other), 0);
}

} // namespace
