#include "LoginPrompt.h"

#include <gtest/gtest.h>

#include <future>
#include <string>

#include "console_testing.h"

namespace {

TEST(LoginPrompt, ReadsUserAndPasswordWithBackspacesAndDefaults) {
    struct Case {
        std::string input;
        std::string heldUser;
        int expected;
        std::string user;
        std::string password;
        std::string userPrompt;
    };
    const Case cases[] = {
        {"joe\nse\x7f\x08sx\x08"
         "ecret\n",
         "", 0, "joe", "secret", "\n  Username: "},
        {"\nhidden\n", "", 0, "admin", "hidden", "\n  Username: "},
        {"\nagain\r\n", "joe", 0, "admin", "again", "\n  Username [joe]: "},
        {"joe\n\n", "", -1, "joe", "", "\n  Username: "},
        {"joe\n\x08\x7fpw\xff", "", 0, "joe", "pw", "\n  Username: "}, // 255 ends it
        {"joe\npartial", "", -1, "joe", "partial", "\n  Username: "},  // the input ended
        {"", "joe", -1, "joe", "", "\n  Username [joe]: "},
    };
    for (const Case& c : cases) {
        ScriptedConsole console(c.input);
        Credentials login{c.heldUser, "before"};
        EXPECT_EQ(promptLogin(console.console(), login), c.expected) << c.input;
        EXPECT_EQ(login.user, c.user) << c.input;
        if (!c.input.empty()) {
            EXPECT_EQ(login.password, c.password) << c.input;
        }
        const std::string shown = console.output();
        EXPECT_EQ(shown.rfind(c.userPrompt, 0), 0u) << shown;
        EXPECT_EQ(shown.find(c.password.empty() ? "\x01" : c.password), std::string::npos);
    }
}

TEST(LoginPrompt, APasswordStopsAtSixtyThreeCharacters) {
    ScriptedConsole console("joe\n" + std::string(70, 'p') + "\n" + std::string(70, 'u') + "\n");
    Credentials login;
    EXPECT_EQ(promptLogin(console.console(), login), 0);
    EXPECT_EQ(login.password, std::string(63, 'p'));
    EXPECT_EQ(promptLogin(console.console(), login), -1); // no password line left
    EXPECT_EQ(login.user, std::string(63, 'u'));
}

TEST(LoginPrompt, CtrlCAtThePasswordEndsTheProgram) {
    ScriptedConsole console("joe\nse\x03");
    Credentials login;
    EXPECT_THROW(promptLogin(console.console(), login), InterruptedByUser);
}

TEST(LoginPrompt, TheTerminalNeverShowsThePassword) {
    PseudoTerminal pty;
    Console console(pty.terminal(), pty.terminal());
    Credentials login;
    auto prompt = std::async(std::launch::async, [&] { return promptLogin(console, login); });
    pty.readUntil("Username: ");
    pty.type("operator\n");
    pty.readUntil("Password: ");
    pty.type("s3cr3t-pw\x7fW\r");
    ASSERT_EQ(prompt.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(prompt.get(), 0);
    console.write("<done>");
    const std::string after = pty.readUntil("<done>");
    EXPECT_EQ(after, "\r\n\r\n<done>"); // two line breaks, no character of the password
    EXPECT_EQ(login.user, "operator");
    EXPECT_EQ(login.password, "s3cr3t-pW");
}

} // namespace
