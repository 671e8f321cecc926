// The way zettle reaches the library: XML command documents through
// processCommand, behind an interface so that the fabric road can be tried
// against scripted replies.
#pragma once

#include <string>

class CommandChannel {
public:
    virtual ~CommandChannel() = default;
    // Readies the library's XML command interface: true when it can take
    // commands.
    virtual bool initialize() = 0;
    // Runs one request; `reply` receives the reply text (emptied first).
    // The library's result: true when the command succeeded.
    virtual bool process(const std::string& request, std::string& reply) = 0;
};

// The channel of libOrvane_2.so: initializeCommand and the C form of
// processCommand, whose reply block is copied and then freed.
class LibraryChannel : public CommandChannel {
public:
    bool initialize() override;
    bool process(const std::string& request, std::string& reply) override;
};
