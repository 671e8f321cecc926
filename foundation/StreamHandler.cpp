#include "foundation/StreamHandler.h"

#include "foundation/LockGuard.h"

StreamHandler::StreamHandler(std::ostream* stream) : stream_(stream) {}

bool StreamHandler::flush() {
    LockGuard guard(&mutex_);
    if (stream_ == nullptr) {
        return false;
    }
    stream_->flush();
    return recoverFromFailure();
}

bool StreamHandler::write(const QuillonString& text) {
    LockGuard guard(&mutex_);
    if (stream_ == nullptr) {
        return false;
    }
    stream_->write(text.c_str(), static_cast<std::streamsize>(text.length()));
    return recoverFromFailure();
}

bool StreamHandler::recoverFromFailure() {
    if (!stream_->fail()) {
        return true;
    }
    stream_->clear();
    return false;
}
