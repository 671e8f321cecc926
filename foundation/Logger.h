// A named logger: records at or below its threshold level (and passing its
// filter, if any) go to each of its handlers in order.
#pragma once

#include <memory>
#include <vector>

#include "foundation/CVoskWaitMutex.h"
#include "foundation/Handler.h"
#include "foundation/Level.h"
#include "foundation/LogFilter.h"
#include "foundation/QuillonString.h"

class Logger {
public:
    explicit Logger(const QuillonString& name);
    // Releases every handler it holds.
    virtual ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // Handlers are retained while the logger holds them. An index past the
    // end appends (insert) or changes nothing (remove).
    virtual void insertHandler(Handler* handler, int index);
    virtual void addHandler(Handler* handler);
    virtual void removeHandler(int index);
    virtual void removeAllHandlers();
    virtual Handler* getHandler(int index) const;
    virtual std::vector<Handler*> getHandlers() const;

    virtual const LogFilter* getFilter() const;
    virtual Level getLevel() const;
    virtual const QuillonString& getName() const { return name_; }
    // The logger owns the filter it is given.
    virtual void setFilter(LogFilter* filter);
    virtual void setLevel(const Level& level);
    virtual bool hasFilter() const;
    virtual void removeFilter();
    virtual bool isLoggable(const LogRecord& record) const;

    // Each builds a record with the logger's name (no source details, line
    // -1) at the level named and publishes it.
    virtual bool config(const QuillonString& message);
    virtual bool entering(const QuillonString& className, const QuillonString& method);
    virtual bool exiting(const QuillonString& className, const QuillonString& method,
                         const QuillonString& result);
    virtual bool exiting(const QuillonString& className, const QuillonString& method);
    virtual bool fine(const QuillonString& message);
    virtual bool finer(const QuillonString& message);
    virtual bool finest(const QuillonString& message);
    virtual bool info(const QuillonString& message);
    virtual bool severe(const QuillonString& message);
    virtual bool warning(const QuillonString& message);
    // False when the record is not loggable or a handler failed; true when
    // every handler took it (or there is none).
    virtual bool publish(const LogRecord& record);
    virtual bool log(const Level& level, const QuillonString& message,
                     const QuillonString& parameter);
    virtual bool log(const Level& level, const QuillonString& message);

private:
    bool publishMessage(const Level& level, const QuillonString& message,
                        const QuillonString& className = QuillonString(),
                        const QuillonString& method = QuillonString());

    mutable CVoskWaitMutex mutex_;
    QuillonString name_;
    Level level_;
    std::vector<Handler*> handlers_;
    std::unique_ptr<LogFilter> filter_;
};
