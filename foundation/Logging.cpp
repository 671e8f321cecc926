#include "foundation/Logging.h"

#include "foundation/LockGuard.h"
#include "foundation/LogManager.h"
#include "foundation/LogRecord.h"

namespace {

constexpr int kWritten = 0;
constexpr int kWriteFailed = -1;
constexpr int kNotTraced = -2;

// Deletes the manager's loggers at process exit, under the manager's own
// lock, closing their files; the manager itself stays, empty, for anything
// that traces later.
struct LoggersExitRelease {
    LogManager* manager;
    ~LoggersExitRelease() { manager->removeAllLoggers(); }
};

QuillonString textOrEmpty(const char* text) {
    return QuillonString(text != nullptr ? text : "");
}

} // namespace

CVoskWaitMutex& getLoggingMutex() {
    static auto* const mutex = new CVoskWaitMutex(LockRank::Logging);
    return *mutex;
}

LogManager& getLogManager() {
    static auto* const manager = new LogManager;
    static LoggersExitRelease exitRelease{manager};
    return *manager;
}

int logTrace(const char* category, const char* message, const QuillonString& method,
             const char* argument, const QuillonString& sourceFile, int line) {
    LockGuard guard(&getLoggingMutex());
    return logTraceRecord(category, message != nullptr ? message : "NULL", method,
                          argument != nullptr ? argument : "NULL", sourceFile, line);
}

int logTraceRecord(const char* category, const char* message, const QuillonString& method,
                   const char* argument, const QuillonString& sourceFile, int line) {
    LockGuard guard(&getLoggingMutex());
    Logger* logger = getLogManager().getLogger(category);
    if (logger == nullptr) {
        return kNotTraced;
    }
    LogRecord record(Level::fine(), textOrEmpty(message), QuillonString(category));
    record.setSourceMethodName(method);
    record.setSourceArguments(textOrEmpty(argument));
    record.setSourceFileName(sourceFile);
    record.setSourceLineNumber(line);
    return logger->publish(record) ? kWritten : kWriteFailed;
}

int logToCategory(const char* category, const char* message) {
    LockGuard guard(&getLoggingMutex());
    Logger* logger = getLogManager().getLogger(category);
    if (logger == nullptr) {
        return kNotTraced;
    }
    return logger->fine(textOrEmpty(message)) ? kWritten : kWriteFailed;
}

bool isCategoryEnabled(const char* category) {
    if (getLogManager().empty()) {
        return false;
    }
    LockGuard guard(&getLoggingMutex());
    return getLogManager().getLogger(category) != nullptr;
}

bool enableCategory(const char* category, const char* fileName) {
    if (category == nullptr || fileName == nullptr) {
        return false;
    }
    LockGuard guard(&getLoggingMutex());
    LogManager& manager = getLogManager();
    if (manager.getLogger(category) != nullptr) {
        return false;
    }
    auto* logger = new Logger(QuillonString(category));
    logger->addHandler(manager.getFileHandler(QuillonString(fileName)));
    return manager.addLogger(logger);
}

bool enableCategories(std::span<const char* const> categories, const char* fileName) {
    LockGuard guard(&getLoggingMutex());
    bool enabled = false;
    for (const char* category : categories) {
        if (!isCategoryEnabled(category) && enableCategory(category, fileName)) {
            enabled = true;
        }
    }
    return enabled;
}

bool disableCategory(const char* category) {
    LockGuard guard(&getLoggingMutex());
    return getLogManager().removeLogger(category);
}

bool disableCategories(std::span<const char* const> categories) {
    LockGuard guard(&getLoggingMutex());
    bool anyTraced = false;
    for (const char* category : categories) {
        anyTraced = anyTraced || isCategoryEnabled(category);
    }
    if (!anyTraced) {
        return false;
    }
    for (const char* category : categories) {
        disableCategory(category);
    }
    return true;
}
