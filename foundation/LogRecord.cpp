#include "foundation/LogRecord.h"

#include <ctime>
#include <string>

#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "platform/win32.h"

namespace {

// Advanced only under the logging lock, so numbers are unique and in the
// order records are made.
int nextSequenceNumber() {
    static unsigned sequence = 0;
    LockGuard guard(&getLoggingMutex());
    // Unsigned arithmetic: a wrap after 2^31 records stays well defined.
    return static_cast<int>(++sequence);
}

// The current time in UTC, in asctime form without its line break, or
// "Unavailable".
QuillonString currentTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    char text[64] = {};
    if (now == static_cast<std::time_t>(-1) || gmtime_r(&now, &utc) == nullptr ||
        asctime_r(&utc, text) == nullptr || text[0] == '\0') {
        return QuillonString("Unavailable");
    }
    QuillonString result(text);
    result.dropLastChar();
    return result;
}

const char* orNA(const QuillonString& value) {
    return value.length() == 0 ? "NA" : value.c_str();
}

} // namespace

LogRecord::LogRecord(const Level& level, const QuillonString& message,
                     const QuillonString& loggerName)
    : level_(level), message_(message), loggerName_(loggerName),
      sequenceNumber_(nextSequenceNumber()), threadId_(static_cast<int>(GetCurrentThreadId())),
      creationTime_(currentTimeText()) {}

QuillonString LogRecord::toString() const {
    std::string text;
    text.reserve(256 + message_.length() + sourceArguments_.length());
    text += "\nSequence Number: ";
    text += std::to_string(sequenceNumber_);
    text += "\tCreation Time: ";
    text += creationTime_.c_str();
    text += "\tLevel: ";
    text += std::to_string(level_.getValue());
    text += "\tLevel Name: ";
    text += level_.getName().c_str();
    text += "\tLogger Name: ";
    text += loggerName_.c_str();
    text += "\tThread ID: ";
    text += std::to_string(threadId_);
    text += "\tSource File Name: ";
    text += orNA(sourceFileName_);
    text += "\tSource Line Number: ";
    text += sourceLineNumber_ < 0 ? std::string("NA") : std::to_string(sourceLineNumber_);
    text += "\tSource Class Name: ";
    text += orNA(sourceClassName_);
    text += "\tSource Method Name: ";
    text += orNA(sourceMethodName_);
    // With a method name the arguments print as they are, even when empty.
    // Arguments are written as the caller formatted them: no code formats a
    // password into them, and none may.
    text += "\tSource Arguments: ";
    text += sourceMethodName_.length() != 0 ? sourceArguments_.c_str() : orNA(sourceArguments_);
    text += "\tMessage: ";
    text += orNA(message_);
    return QuillonString(text);
}
