// One log record: what happened, where and when, numbered across the process.
#pragma once

#include "foundation/Level.h"
#include "foundation/QuillonString.h"

class LogRecord {
public:
    // Takes the next sequence number of the process (the first record is 1),
    // the calling thread's identifier and the current time.
    LogRecord(const Level& level, const QuillonString& message, const QuillonString& loggerName);
    virtual ~LogRecord() = default;
    LogRecord(const LogRecord&) = default;
    LogRecord& operator=(const LogRecord&) = default;

    const Level& getLevel() const { return level_; }
    const QuillonString& getMessage() const { return message_; }
    const QuillonString& getLoggerName() const { return loggerName_; }
    const QuillonString& getSourceClassName() const { return sourceClassName_; }
    const QuillonString& getSourceMethodName() const { return sourceMethodName_; }
    const QuillonString& getSourceArguments() const { return sourceArguments_; }
    const QuillonString& getParameter() const { return parameter_; }
    int getSequenceNumber() const { return sequenceNumber_; }
    int getThreadID() const { return threadId_; }
    const QuillonString& getCreationTime() const { return creationTime_; }
    const QuillonString& getSourceFileName() const { return sourceFileName_; }
    int getSourceLineNumber() const { return sourceLineNumber_; }

    void setSourceClassName(const QuillonString& name) { sourceClassName_ = name; }
    void setSourceMethodName(const QuillonString& name) { sourceMethodName_ = name; }
    void setSourceArguments(const QuillonString& arguments) { sourceArguments_ = arguments; }
    void setParameter(const QuillonString& parameter) { parameter_ = parameter; }
    void setSourceFileName(const QuillonString& name) { sourceFileName_ = name; }
    void setSourceLineNumber(int line) { sourceLineNumber_ = line; }

    // The text written for the record: a line break, then each field as
    // "Name: value" followed by a tab, the message last; empty values (and a
    // negative line) print as "NA".
    QuillonString toString() const;

private:
    Level level_;
    QuillonString message_;
    QuillonString loggerName_;
    QuillonString sourceClassName_;
    QuillonString sourceMethodName_;
    QuillonString sourceArguments_;
    QuillonString parameter_; // kept, never printed
    int sequenceNumber_;
    int threadId_;
    QuillonString creationTime_;
    QuillonString sourceFileName_;
    int sourceLineNumber_ = -1;
};
