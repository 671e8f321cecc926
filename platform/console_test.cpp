#include "platform/console.h"
#include "platform/console_testing.h"

#include <gtest/gtest.h>

#include <termios.h>

#include <string>

namespace {

TEST(Console, ReadsLinesWithoutLineBreaksAndKeepsEndOfInput) {
    ScriptedConsole piped("one\r\ntwo\n\nmid\rdle\nlast");
    Console& console = piped.console();
    EXPECT_EQ(console.readLine(80), "one");
    EXPECT_EQ(console.readLine(80), "two");
    EXPECT_EQ(console.readLine(80), "");
    EXPECT_EQ(console.readLine(80), "mid\rdle");
    EXPECT_FALSE(console.atEnd());
    EXPECT_EQ(console.readLine(80), "last");
    EXPECT_EQ(console.readLine(80), std::nullopt);
    EXPECT_TRUE(console.atEnd());
    EXPECT_EQ(console.readLine(80), std::nullopt);
    EXPECT_EQ(console.readKey(), Console::EndOfInput);
}

TEST(Console, CutsALongLineAndDropsItsRest) {
    struct Case {
        std::string input;
        std::size_t maxLength;
        std::string first;
    };
    const Case cases[] = {
        {"abcdefgh\nnext\n", 3, "abc"}, {"ab\r\nnext\n", 2, "ab"}, {"ab\r\nnext\n", 3, "ab"},
        {"abc\r\nnext\n", 2, "ab"},     {"\r\nnext\n", 0, ""},
    };
    for (const Case& c : cases) {
        ScriptedConsole piped(c.input);
        EXPECT_EQ(piped.console().readLine(c.maxLength), c.first) << c.input;
        EXPECT_EQ(piped.console().readLine(80), "next") << c.input;
    }
}

TEST(Console, ReadsKeysOfAPipeWithBothBackspaceCodesAndEnter) {
    ScriptedConsole piped("a\x7f\x08\x03\xff\r\nb\nline\n");
    Console& console = piped.console();
    const int expected[] = {'a', Console::Backspace, Console::Backspace, 3, 255, Console::Enter,
                            'b', Console::Enter};
    for (int key : expected)
        EXPECT_EQ(console.readKey(), key);
    // The line feed after the carriage return was taken with it.
    EXPECT_EQ(console.readLine(10), "line");
    EXPECT_EQ(console.readKey(), Console::EndOfInput);
}

TEST(Console, WritesTextAndClearsOnlyATerminal) {
    ScriptedConsole piped("");
    piped.console().write("abc");
    piped.console().writeChar('!');
    piped.console().clearScreen();
    piped.console().print("%s=%d;", std::string(600, 'x').c_str(), 7);
    EXPECT_EQ(piped.output(), "abc!" + std::string(600, 'x') + "=7;");
}

TEST(Console, ReadsKeysOnATerminalWithoutEchoAndRestoresItsMode) {
    PseudoTerminal pty;
    Console console(pty.terminal(), pty.terminal());
    {
        Console::KeyMode keys(console);
        console.write("Password: ");
        pty.readUntil("Password: ");
        pty.type("pw\x7f\x03\r");
        EXPECT_EQ(console.readKey(), 'p');
        EXPECT_EQ(console.readKey(), 'w');
        EXPECT_EQ(console.readKey(), Console::Backspace);
        EXPECT_EQ(console.readKey(), 3); // Ctrl-C is a key here, not a signal
        EXPECT_EQ(console.readKey(), Console::Enter);
        console.write("<end>");
        const std::string shown = pty.readUntil("<end>");
        EXPECT_EQ(shown.find("pw"), std::string::npos) << shown;
    }
    termios mode{};
    ASSERT_EQ(::tcgetattr(pty.terminal(), &mode), 0);
    EXPECT_TRUE(mode.c_lflag & ECHO);
    EXPECT_TRUE(mode.c_lflag & ICANON);
    EXPECT_TRUE(mode.c_lflag & ISIG);

    // Lines are read with the terminal's own echo and editing.
    pty.type("usr\n");
    EXPECT_EQ(console.readLine(64), "usr");
    EXPECT_NE(pty.readUntil("usr").find("usr"), std::string::npos);

    console.clearScreen();
    EXPECT_NE(pty.readUntil("\x1b[2J").find("\x1b[H\x1b[2J"), std::string::npos);
}

TEST(Console, AHungUpTerminalReadsAsEndOfInput) {
    PseudoTerminal pty;
    Console console(pty.terminal(), pty.terminal());
    pty.closeMaster();
    EXPECT_EQ(console.readLine(64), std::nullopt);
    EXPECT_EQ(console.readKey(), Console::EndOfInput);
    EXPECT_TRUE(console.atEnd());
}

} // namespace
