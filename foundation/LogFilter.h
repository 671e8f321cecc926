// Hooks that loggers and handlers can be given; the library installs none.
#pragma once

#include "foundation/QuillonString.h"

class LogRecord;

// Answers whether a record passes.
class LogFilter {
public:
    virtual ~LogFilter() = default;
    virtual bool isLoggable(const LogRecord& record) const = 0;
};

// Gives the text written for a record, and a head and a tail around it.
class LogFormatter {
public:
    virtual ~LogFormatter() = default;
    virtual QuillonString format(const LogRecord& record) const = 0;
    virtual QuillonString getHead() const { return QuillonString(); }
    virtual QuillonString getTail() const { return QuillonString(); }
};
