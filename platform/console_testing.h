// Test helpers for programs on the console: a console that reads a given
// input and writes into memory, and a pseudo-terminal to run a console (or
// a whole program) on, typed at and read from by the test.
#pragma once

#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <utility>

#include "console.h"

// A console whose input is a pipe holding `input`, closed after it, and
// whose output is an in-memory file.
class ScriptedConsole {
public:
    explicit ScriptedConsole(const std::string& input) {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        // Larger scripts than a pipe holds are no test of a console.
        EXPECT_LT(input.size(), 60000u);
        EXPECT_EQ(::write(fds[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
        ::close(fds[1]);
        in_ = fds[0];
        out_ = ::memfd_create("console-output", 0);
        console_ = std::make_unique<Console>(in_, out_);
    }
    ~ScriptedConsole() {
        console_.reset();
        ::close(in_);
        ::close(out_);
    }
    ScriptedConsole(const ScriptedConsole&) = delete;
    ScriptedConsole& operator=(const ScriptedConsole&) = delete;

    Console& console() { return *console_; }
    // Everything written so far.
    std::string output() const {
        std::string text(static_cast<std::size_t>(::lseek(out_, 0, SEEK_END)), '\0');
        EXPECT_EQ(::pread(out_, text.data(), text.size(), 0), static_cast<ssize_t>(text.size()));
        return text;
    }

private:
    int in_ = -1;
    int out_ = -1;
    std::unique_ptr<Console> console_;
};

// A pseudo-terminal: a console (or a child program) runs on its terminal
// side; the test types and reads on the other.
class PseudoTerminal {
public:
    PseudoTerminal() { EXPECT_EQ(::openpty(&master_, &terminal_, nullptr, nullptr, nullptr), 0); }
    ~PseudoTerminal() {
        closeMaster();
        closeTerminal();
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int terminal() const { return terminal_; }
    // The terminal side is the child's alone once it runs there.
    void closeTerminal() {
        if (terminal_ >= 0)
            ::close(terminal_);
        terminal_ = -1;
    }
    void closeMaster() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

    void type(const std::string& keys) {
        EXPECT_EQ(::write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }
    // What the terminal showed, from where the last read stopped up to and
    // including `marker`; waits at most 10 s for it.
    std::string readUntil(const std::string& marker) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::size_t found;
        while ((found = unread_.find(marker)) == std::string::npos &&
               std::chrono::steady_clock::now() < deadline) {
            if (!readSome(100))
                break;
        }
        if (found == std::string::npos) {
            ADD_FAILURE() << "no \"" << marker << "\"; the terminal showed: " << unread_;
            return std::exchange(unread_, std::string());
        }
        std::string shown = unread_.substr(0, found + marker.size());
        unread_.erase(0, found + marker.size());
        return shown;
    }
    // Everything the terminal shows until its other side is closed (at most
    // 10 s).
    std::string readToEnd() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline && readSome(100)) {
        }
        return std::exchange(unread_, std::string());
    }

private:
    // Reads what arrives within `timeoutMs`: false once nothing more can
    // arrive.
    bool readSome(int timeoutMs) {
        pollfd p{master_, POLLIN, 0};
        const int ready = ::poll(&p, 1, timeoutMs);
        if (ready == 0)
            return true;
        char buffer[4096];
        const ssize_t n = ready > 0 ? ::read(master_, buffer, sizeof buffer) : -1;
        if (n <= 0)
            return false;
        unread_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    int master_ = -1;
    int terminal_ = -1;
    std::string unread_;
};
