#include "foundation/LogManager.h"

#include <cstring>

#include "foundation/LockGuard.h"

LogManager::~LogManager() {
    removeAllLoggers();
}

Logger* LogManager::getLogger(const char* name) const {
    if (name == nullptr) {
        return nullptr;
    }
    LockGuard guard(&mutex_);
    auto found = loggers_.find(name);
    return found == loggers_.end() ? nullptr : found->second;
}

bool LogManager::addLogger(Logger* logger) {
    if (logger == nullptr) {
        return false;
    }
    LockGuard guard(&mutex_);
    if (!loggers_.emplace(logger->getName().c_str(), logger).second) {
        delete logger;
        return false;
    }
    count_.store(loggers_.size());
    return true;
}

bool LogManager::removeLogger(const char* name) {
    if (name == nullptr) {
        return false;
    }
    LockGuard guard(&mutex_);
    auto found = loggers_.find(name);
    if (found == loggers_.end()) {
        return false;
    }
    Logger* logger = found->second;
    loggers_.erase(found);
    count_.store(loggers_.size());
    delete logger;
    return true;
}

void LogManager::removeAllLoggers() {
    LockGuard guard(&mutex_);
    for (auto& [name, logger] : loggers_) {
        delete logger;
    }
    loggers_.clear();
    count_.store(0);
}

FileHandler* LogManager::getFileHandler(const QuillonString& fileName) {
    LockGuard guard(&mutex_);
    for (const auto& [name, logger] : loggers_) {
        for (Handler* handler : logger->getHandlers()) {
            auto* file = dynamic_cast<FileHandler*>(handler);
            if (file != nullptr &&
                std::strcmp(file->getFileName().c_str(), fileName.c_str()) == 0) {
                return file;
            }
        }
    }
    return new FileHandler(fileName);
}
