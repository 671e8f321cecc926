#include "foundation/Handler.h"

Handler::Handler() : level_(Level::all()) {}

Handler::~Handler() = default;

bool Handler::publish(const LogRecord& record) {
    if (!isLoggable(record)) {
        return false;
    }
    QuillonString text;
    if (formatter_ != nullptr) {
        text = head_;
        text += formatter_->format(record);
        text += tail_;
    } else {
        text = record.toString();
    }
    const bool written = write(text);
    const bool flushed = flush();
    return written && flushed;
}

bool Handler::isLoggable(const LogRecord& record) const {
    if (record.getLevel().getValue() > level_.getValue()) {
        return false;
    }
    return filter_ == nullptr || filter_->isLoggable(record);
}

void Handler::setFormatter(LogFormatter* formatter) {
    formatter_.reset(formatter);
    head_ = formatter != nullptr ? formatter->getHead() : QuillonString();
    tail_ = formatter != nullptr ? formatter->getTail() : QuillonString();
}

void Handler::removeFormatter() {
    setFormatter(nullptr);
}

void Handler::release() {
    if (refcount_-- <= 1) {
        delete this;
    }
}
