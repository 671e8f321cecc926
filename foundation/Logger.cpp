#include "foundation/Logger.h"

#include "foundation/LockGuard.h"

Logger::Logger(const QuillonString& name) : name_(name), level_(Level::all()) {}

Logger::~Logger() {
    removeFilter();
    removeAllHandlers();
}

void Logger::insertHandler(Handler* handler, int index) {
    if (handler == nullptr) {
        return;
    }
    LockGuard guard(&mutex_);
    handler->retain();
    if (index < 0 || static_cast<size_t>(index) >= handlers_.size()) {
        handlers_.push_back(handler);
    } else {
        handlers_.insert(handlers_.begin() + index, handler);
    }
}

void Logger::addHandler(Handler* handler) {
    if (handler == nullptr) {
        return;
    }
    LockGuard guard(&mutex_);
    handler->retain();
    handlers_.push_back(handler);
}

void Logger::removeHandler(int index) {
    LockGuard guard(&mutex_);
    if (index < 0 || static_cast<size_t>(index) >= handlers_.size()) {
        return;
    }
    Handler* handler = handlers_[index];
    handlers_.erase(handlers_.begin() + index);
    handler->release();
}

void Logger::removeAllHandlers() {
    LockGuard guard(&mutex_);
    std::vector<Handler*> held;
    held.swap(handlers_);
    for (Handler* handler : held) {
        handler->release();
    }
}

Handler* Logger::getHandler(int index) const {
    LockGuard guard(&mutex_);
    if (index < 0 || static_cast<size_t>(index) >= handlers_.size()) {
        return nullptr;
    }
    return handlers_[index];
}

std::vector<Handler*> Logger::getHandlers() const {
    LockGuard guard(&mutex_);
    return handlers_;
}

const LogFilter* Logger::getFilter() const {
    LockGuard guard(&mutex_);
    return filter_.get();
}

Level Logger::getLevel() const {
    LockGuard guard(&mutex_);
    return level_;
}

void Logger::setFilter(LogFilter* filter) {
    LockGuard guard(&mutex_);
    filter_.reset(filter);
}

void Logger::setLevel(const Level& level) {
    LockGuard guard(&mutex_);
    level_ = level;
}

bool Logger::hasFilter() const {
    LockGuard guard(&mutex_);
    return filter_ != nullptr;
}

void Logger::removeFilter() {
    LockGuard guard(&mutex_);
    filter_.reset();
}

bool Logger::isLoggable(const LogRecord& record) const {
    LockGuard guard(&mutex_);
    if (record.getLevel().getValue() > level_.getValue()) {
        return false;
    }
    return filter_ == nullptr || filter_->isLoggable(record);
}

bool Logger::publish(const LogRecord& record) {
    LockGuard guard(&mutex_);
    if (!isLoggable(record)) {
        return false;
    }
    bool published = true;
    for (Handler* handler : handlers_) {
        if (!handler->publish(record)) {
            published = false;
        }
    }
    return published;
}

bool Logger::publishMessage(const Level& level, const QuillonString& message,
                            const QuillonString& className, const QuillonString& method) {
    LogRecord record(level, message, name_);
    record.setSourceClassName(className);
    record.setSourceMethodName(method);
    return publish(record);
}

bool Logger::config(const QuillonString& message) {
    return publishMessage(Level::config(), message);
}

bool Logger::entering(const QuillonString& className, const QuillonString& method) {
    return publishMessage(Level::config(), QuillonString("entering"), className, method);
}

bool Logger::exiting(const QuillonString& className, const QuillonString& method,
                     const QuillonString& result) {
    QuillonString message("exiting with result: ");
    message += result;
    return publishMessage(Level::info(), message, className, method);
}

bool Logger::exiting(const QuillonString& className, const QuillonString& method) {
    return publishMessage(Level::info(), QuillonString("exiting"), className, method);
}

bool Logger::fine(const QuillonString& message) {
    return publishMessage(Level::fine(), message);
}

bool Logger::finer(const QuillonString& message) {
    return publishMessage(Level::finer(), message);
}

bool Logger::finest(const QuillonString& message) {
    return publishMessage(Level::finest(), message);
}

bool Logger::info(const QuillonString& message) {
    return publishMessage(Level::info(), message);
}

bool Logger::severe(const QuillonString& message) {
    return publishMessage(Level::severe(), message);
}

bool Logger::warning(const QuillonString& message) {
    return publishMessage(Level::warning(), message);
}

bool Logger::log(const Level& level, const QuillonString& message, const QuillonString& parameter) {
    LogRecord record(level, message, name_);
    record.setParameter(parameter);
    return publish(record);
}

bool Logger::log(const Level& level, const QuillonString& message) {
    return publishMessage(level, message);
}
