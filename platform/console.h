// The console of an interactive program: lines and keys read from one
// descriptor, text written to another.
//
// On a terminal a key is read without echo and without line editing
// (termios), with Enter read as a carriage return and both 0x08 and 0x7F
// read as backspace; the terminal's mode is changed only while a key is read
// or while a KeyMode lives. Elsewhere (a pipe, a file) the keys are the
// input's bytes, a line feed read as Enter. The first end of input is kept:
// every later read reports it at once, so a program that treats it as a quit
// never waits or loops on a closed input.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <termios.h>

class Console {
public:
    static constexpr int EndOfInput = -1;
    static constexpr int Enter = '\r';
    static constexpr int Backspace = 0x08;

    explicit Console(int inputFd = STDIN_FILENO, int outputFd = STDOUT_FILENO);
    ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // The next line without its line break (and without a carriage return
    // before it), cut to `maxLength` characters: the rest of a longer line
    // is read and dropped, never left for the next read. A last line without
    // a line break counts. Nothing at end of input.
    std::optional<std::string> readLine(std::size_t maxLength);
    // The next key, 0 to 255, or EndOfInput.
    int readKey();
    // True once the input has ended.
    bool atEnd() const { return atEnd_; }

    void write(std::string_view text);
    void writeChar(char c);
    // printf-style text, of any length.
    void print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Clears a terminal's screen and puts the cursor at its top; does
    // nothing when the output is no terminal.
    void clearScreen();

    // Holds the terminal in key mode while it lives, so that keys typed
    // before the first readKey are not echoed either.
    class KeyMode {
    public:
        explicit KeyMode(Console& console);
        ~KeyMode();
        KeyMode(const KeyMode&) = delete;
        KeyMode& operator=(const KeyMode&) = delete;

    private:
        Console& console_;
    };

private:
    void enterKeyMode();
    void leaveKeyMode();
    // Reads more input into pending_: false at end of input.
    bool fill();
    // The next input byte, or EndOfInput.
    int nextByte();

    int inputFd_;
    int outputFd_;
    bool inputIsTerminal_;
    bool outputIsTerminal_;
    int keyModeDepth_ = 0;
    termios savedMode_{};
    std::string pending_;
    std::size_t pendingPos_ = 0;
    bool atEnd_ = false;
    bool skipLineFeed_ = false; // a carriage return read as Enter swallows a line feed after it
};
