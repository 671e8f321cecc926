// Where a logger's records go. A handler is shared by the loggers that hold
// it and counted by reference: the last release deletes it.
#pragma once

#include <memory>

#include "foundation/Level.h"
#include "foundation/LogFilter.h"
#include "foundation/LogRecord.h"
#include "foundation/QuillonString.h"

class Handler {
public:
    Handler();
    virtual ~Handler();
    Handler(const Handler&) = delete;
    Handler& operator=(const Handler&) = delete;

    virtual bool flush() { return true; }
    virtual bool write(const QuillonString& text) = 0;
    // Writes the record's text (head, formatted text and tail with a
    // formatter, else the record's own text) and flushes; false when the
    // record is not loggable or writing or flushing failed.
    virtual bool publish(const LogRecord& record);
    // False above the handler's level; else the filter's answer, if any.
    virtual bool isLoggable(const LogRecord& record) const;

    virtual const LogFilter* getFilter() const { return filter_.get(); }
    virtual const LogFormatter* getFormatter() const { return formatter_.get(); }
    virtual const Level& getLevel() const { return level_; }
    // The handler owns the filter and the formatter it is given.
    virtual void setFilter(LogFilter* filter) { filter_.reset(filter); }
    virtual void setFormatter(LogFormatter* formatter);
    virtual void setLevel(const Level& level) { level_ = level; }
    virtual void removeFilter() { filter_.reset(); }
    virtual void removeFormatter();
    virtual bool hasFilter() const { return filter_ != nullptr; }
    virtual bool hasFormatter() const { return formatter_ != nullptr; }

    virtual void retain() { ++refcount_; }
    // Drops one reference; deletes the handler when it held the last.
    virtual void release();
    virtual int refcount() const { return refcount_; }

private:
    Level level_;
    std::unique_ptr<LogFormatter> formatter_;
    std::unique_ptr<LogFilter> filter_;
    QuillonString head_;
    QuillonString tail_;
    int refcount_ = 0;
};
