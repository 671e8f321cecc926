// zettle run on a pseudo-terminal, as a user at a console runs it.
#include <gtest/gtest.h>

#include <string>

#include "ZettleProcess.h"

namespace {

const std::string ClearScreen = "\x1b[H\x1b[2J";
const std::string MenuPrompt = "\n   Enter choice> ";
const std::string ExitBanner =
    "\r\n\r\n\r\n\r\n\r\n               Exit PKI Certificate Installation Utility pki_v1.0.5 "
    "\r\n\r\n\r\n";

TEST(ZettleTerminal, MainMenuShowsUnknownChoicesAndQuitsOnlyWhenConfirmed) {
    ZettleWorkspace workspace;
    auto zettle = workspace.start({"-e", "events.log"});
    const std::string menu = zettle->readUntil(MenuPrompt);
    EXPECT_NE(menu.find(ClearScreen), std::string::npos);
    EXPECT_NE(menu.find("PKI CERTIFICATE INSTALLATION UTILITY pki_v1.0.5"), std::string::npos);

    zettle->type("5\n");
    zettle->readUntil("      Unknown choice [5] \r\n\r\n\r\n  Press Enter to Continue.\r\n");
    zettle->type("\n");
    zettle->readUntil(MenuPrompt);
    zettle->type("q\n");
    zettle->readUntil("\n     QUIT? (y/n) ");
    zettle->type("n\n");
    zettle->readUntil(MenuPrompt);
    zettle->type("Q\n");
    zettle->readUntil("QUIT? (y/n) ");
    zettle->type("y\n");
    const ZettleResult result = zettle->finish();
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.output.ends_with(ClearScreen + ExitBanner)) << result.output;
}

TEST(ZettleTerminal, HelpScreensPageAndReturnToTheMenu) {
    ZettleWorkspace workspace;
    auto zettle = workspace.start({"-e", "events.log"});
    zettle->readUntil(MenuPrompt);
    zettle->type("4\n");
    const std::string help =
        zettle->readUntil("Read help for Batch/Command-line mode usage (y/n)? >");
    EXPECT_NE(help.find("Merrowix"), std::string::npos);
    EXPECT_NE(help.find("   Some options may be given on the command line such as \"Log-Level.\" "),
              std::string::npos);
    zettle->type("y\n");
    zettle->readUntil(
        " zettle [-gGil] [-e log-file] [-d data-file] [-a addr-file] [-A switch-addr]");
    zettle->readUntil("<Press Enter to Continue> ");
    zettle->type("\n");
    zettle->readUntil("\r\n Data-file: -d \r\n");
    zettle->readUntil("<Press Enter to Continue> ");
    zettle->type("\n");
    zettle->readUntil("-----  END Of HELP With Batch Usage  -----");
    zettle->readUntil("<Press Enter to Continue> ");
    zettle->type("\n");
    zettle->readUntil(MenuPrompt);
    zettle->type("q\ny\n");
    EXPECT_EQ(zettle->finish().exitCode, 0);
}

TEST(ZettleTerminal, TheLogFilePromptInsistsOnAName) {
    ZettleWorkspace workspace;
    auto zettle = workspace.start({});
    zettle->readUntil("   Enter a log file name [or just press Enter to accept the default].");
    zettle->readUntil("\n   [pki_events.log] => ");
    zettle->type("ab\n");
    zettle->readUntil("  Press 'Enter' to try again (or 'q' to quit)> ");
    zettle->type("\n");
    zettle->readUntil("\n   [pki_events.log] => ");
    zettle->type("mylog\n"); // accepted at once as mylog.xml
    zettle->readUntil(MenuPrompt);
    zettle->type("q\ny\n");
    EXPECT_EQ(zettle->finish().exitCode, 0);
    EXPECT_NE(workspace.readFile("mylog.xml").find("==== PKI Certificate Utility [pki_v1.0.5]"),
              std::string::npos);

    auto quitting = workspace.start({});
    quitting->readUntil("] => ");
    quitting->type("x\n");
    quitting->readUntil("(or 'q' to quit)> ");
    quitting->type("q\n");
    const ZettleResult result = quitting->finish();
    EXPECT_EQ(result.exitCode, 21);
    EXPECT_TRUE(result.output.ends_with(ClearScreen + ExitBanner));
    EXPECT_FALSE(workspace.exists("pki_events.log"));
}

TEST(ZettleTerminal, ATaskAsksForTheFabricAddressesAndCanReturnToTheMenu) {
    ZettleWorkspace workspace;
    auto zettle = workspace.start({"-e", "events.log"});
    zettle->readUntil(MenuPrompt);
    zettle->type("2\n");
    zettle->readUntil("            Choose a method for providing fabric addresses\r\n");
    zettle->readUntil("\n    Enter choice> ");
    zettle->type("r\n");
    zettle->readUntil("No valid fabric addresses were provided\r\n");
    zettle->readUntil(MenuPrompt);
    zettle->type("q\ny\n");
    EXPECT_EQ(zettle->finish().exitCode, 0);
}

TEST(ZettleTerminal, EndOfInputQuits) {
    ZettleWorkspace workspace;
    auto zettle = workspace.start({"-e", "events.log"});
    zettle->readUntil(MenuPrompt);
    zettle->type("\x04"); // Ctrl-D on an empty line
    const ZettleResult result = zettle->finish();
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.output.ends_with(ExitBanner));
}

} // namespace
