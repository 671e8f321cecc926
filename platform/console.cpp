#include "console.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>

namespace {

// Home the cursor, then erase the whole screen.
constexpr std::string_view ClearScreenSequence = "\x1b[H\x1b[2J";
constexpr int DeleteKey = 0x7F;

} // namespace

Console::Console(int inputFd, int outputFd)
    : inputFd_(inputFd), outputFd_(outputFd), inputIsTerminal_(::isatty(inputFd) == 1),
      outputIsTerminal_(::isatty(outputFd) == 1) {}

Console::~Console() {
    if (keyModeDepth_ > 0) {
        keyModeDepth_ = 1;
        leaveKeyMode();
    }
}

std::optional<std::string> Console::readLine(std::size_t maxLength) {
    std::string line;
    std::size_t rawLength = 0;
    bool lastWasCarriageReturn = false;
    for (;;) {
        const int byte = nextByte();
        if (byte == EndOfInput) {
            if (rawLength == 0)
                return std::nullopt;
            break;
        }
        if (byte == '\n')
            break;
        ++rawLength;
        lastWasCarriageReturn = byte == '\r';
        if (line.size() < maxLength)
            line.push_back(static_cast<char>(byte));
    }
    // A carriage return before the line break is no part of the line; it
    // was stored only when the line fitted.
    if (lastWasCarriageReturn && rawLength - 1 < maxLength)
        line.pop_back();
    return line;
}

int Console::readKey() {
    KeyMode keys(*this);
    const int byte = nextByte();
    switch (byte) {
    case EndOfInput:
        return EndOfInput;
    case '\r':
        // A terminal sends Enter as a carriage return alone: the line feed
        // that follows belongs to the next line. Only a file's CR LF is one.
        skipLineFeed_ = !inputIsTerminal_;
        return Enter;
    case '\n':
        return Enter;
    case DeleteKey:
    case Backspace:
        return Backspace;
    default:
        return byte;
    }
}

void Console::write(std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(outputFd_, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return; // nowhere left to write to
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
}

void Console::writeChar(char c) {
    write(std::string_view(&c, 1));
}

void Console::print(const char* format, ...) {
    char small[512];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (length < 0) {
        va_end(again);
        return;
    }
    if (static_cast<std::size_t>(length) < sizeof small) {
        va_end(again);
        write(std::string_view(small, static_cast<std::size_t>(length)));
        return;
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, again);
    va_end(again);
    text.pop_back();
    write(text);
}

void Console::clearScreen() {
    if (outputIsTerminal_)
        write(ClearScreenSequence);
}

Console::KeyMode::KeyMode(Console& console) : console_(console) {
    console_.enterKeyMode();
}

Console::KeyMode::~KeyMode() {
    console_.leaveKeyMode();
}

void Console::enterKeyMode() {
    if (keyModeDepth_++ > 0 || !inputIsTerminal_)
        return;
    if (::tcgetattr(inputFd_, &savedMode_) != 0) {
        inputIsTerminal_ = false;
        return;
    }
    termios keys = savedMode_;
    // No echo, no line editing, and Ctrl-C read as a key rather than a
    // signal, so that the terminal is never left without echo. Enter reads
    // as a carriage return.
    keys.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | ISIG | IEXTEN);
    keys.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR);
    keys.c_cc[VMIN] = 1;
    keys.c_cc[VTIME] = 0;
    ::tcsetattr(inputFd_, TCSANOW, &keys);
}

void Console::leaveKeyMode() {
    if (keyModeDepth_ == 0 || --keyModeDepth_ > 0 || !inputIsTerminal_)
        return;
    ::tcsetattr(inputFd_, TCSANOW, &savedMode_);
}

bool Console::fill() {
    if (atEnd_)
        return false;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(inputFd_, buffer, sizeof buffer);
        if (n > 0) {
            pending_.assign(buffer, static_cast<std::size_t>(n));
            pendingPos_ = 0;
            return true;
        }
        if (n < 0 && errno == EINTR)
            continue;
        atEnd_ = true; // end of file, or an input that can no longer be read
        return false;
    }
}

int Console::nextByte() {
    for (;;) {
        if (pendingPos_ == pending_.size() && !fill())
            return EndOfInput;
        const unsigned char byte = static_cast<unsigned char>(pending_[pendingPos_++]);
        if (skipLineFeed_) {
            skipLineFeed_ = false;
            if (byte == '\n')
                continue;
        }
        return byte;
    }
}
