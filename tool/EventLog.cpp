#include "EventLog.h"

#include <cstdarg>

#include <utility>

EventLog::~EventLog() {
    close();
}

EventLog::EventLog(EventLog&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), level_(other.level_) {}

EventLog& EventLog::operator=(EventLog&& other) noexcept {
    if (this != &other) {
        close();
        file_ = std::exchange(other.file_, nullptr);
        level_ = other.level_;
    }
    return *this;
}

bool EventLog::open(const std::string& path, int level) {
    close();
    file_ = std::fopen(path.c_str(), "a");
    level_ = level;
    return file_ != nullptr;
}

void EventLog::write(int minLevel, const char* format, ...) {
    if (file_ == nullptr || (minLevel > 0 && level_ < minLevel))
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(file_, format, args);
    va_end(args);
}

void EventLog::flush() {
    if (file_ != nullptr)
        std::fflush(file_);
}

void EventLog::close() {
    if (file_ != nullptr)
        std::fclose(file_);
    file_ = nullptr;
}
