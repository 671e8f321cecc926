// Splits the byte stream of one switch connection into event lines.
//
// Bytes arrive in pieces of any size; each complete line (up to its LF) is
// handed on without the LF and one CR before it. A line longer than
// kEventLineMax bytes is dropped whole, up to its LF, and never handed on
// in parts. At the end of the stream a final line without LF is handed on.
#pragma once

#include <cstddef>

#include "connection/EventListener.h"

class EventLineBuffer {
public:
    // Receives one line, NUL-terminated, valid only during the call.
    using LineHandler = void (*)(const char* line, std::size_t length, void* context);

    // Takes `size` bytes and hands on every line they complete.
    void append(const char* data, std::size_t size, LineHandler handler, void* context);
    // Ends the stream: hands on a pending line that has no LF yet.
    void finish(LineHandler handler, void* context);

    // Bytes of an unfinished line held now.
    std::size_t pending() const { return length_; }
    // Whether the current line is being dropped as too long.
    bool discarding() const { return discarding_; }

private:
    void deliver(LineHandler handler, void* context);

    // Content of the line; one byte is kept for the LF that ends it.
    static constexpr std::size_t kContentMax = kEventLineMax - 1;
    char line_[kContentMax + 1] = {};
    std::size_t length_ = 0;
    bool discarding_ = false;
};
