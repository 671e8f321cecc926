// The event log: a text file that zettle appends its events and errors to.
// A message is written when the log level is at least the message's level
// (0 silent, 1 errors, 2 events, 3 debug); a message of level 0 is always
// written. A closed log writes nothing.
#pragma once

#include <cstdio>
#include <string>

class EventLog {
public:
    EventLog() = default;
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;
    EventLog(EventLog&& other) noexcept;
    EventLog& operator=(EventLog&& other) noexcept;

    // Opens `path` for appending; false when it cannot be opened.
    bool open(const std::string& path, int level);
    bool isOpen() const { return file_ != nullptr; }
    int level() const { return level_; }

    // Writes when the log level is at least `minLevel`, or `minLevel` is 0.
    void write(int minLevel, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void flush();
    void close();

private:
    std::FILE* file_ = nullptr;
    int level_ = 0;
};
