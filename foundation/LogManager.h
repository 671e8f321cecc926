// The process-wide set of loggers, one per traced category, and the file
// handlers they share.
#pragma once

#include <atomic>
#include <cstddef>
#include <map>
#include <string>

#include "foundation/CVoskWaitMutex.h"
#include "foundation/FileHandler.h"
#include "foundation/Logger.h"
#include "foundation/QuillonString.h"

class LogManager {
public:
    LogManager() = default;
    // Deletes every remaining logger, which closes files nobody else holds.
    ~LogManager();
    LogManager(const LogManager&) = delete;
    LogManager& operator=(const LogManager&) = delete;

    // The logger registered under `name`, or null.
    Logger* getLogger(const char* name) const;
    // Whether no logger is registered, read without the lock, so that code
    // traced nowhere pays one load per trace point.
    bool empty() const { return count_.load(std::memory_order_relaxed) == 0; }
    // Takes ownership of `logger` and registers it under its name; false
    // (and the logger is deleted) when that name already has one.
    bool addLogger(Logger* logger);
    // Deletes the logger registered under `name`; false when there is none.
    bool removeLogger(const char* name);
    // Deletes every logger.
    void removeAllLoggers();
    // The first file handler of any logger (in name order) writing to
    // exactly `fileName`, or a new one, so that categories naming one file
    // share one open file.
    FileHandler* getFileHandler(const QuillonString& fileName);

private:
    mutable CVoskWaitMutex mutex_;
    std::map<std::string, Logger*> loggers_;
    std::atomic<std::size_t> count_{0}; // loggers_.size(), for empty()
};
