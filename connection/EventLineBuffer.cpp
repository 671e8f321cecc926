#include "connection/EventLineBuffer.h"

#include <cstring>

void EventLineBuffer::append(const char* data, std::size_t size, LineHandler handler,
                             void* context) {
    while (size > 0) {
        const void* lf = std::memchr(data, '\n', size);
        const std::size_t piece =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : size;
        if (!discarding_) {
            if (length_ + piece > kContentMax) {
                // Too long for one event line: drop it up to its LF.
                discarding_ = true;
                length_ = 0;
            } else {
                std::memcpy(line_ + length_, data, piece);
                length_ += piece;
            }
        }
        if (!lf)
            return;
        if (discarding_) {
            discarding_ = false;
        } else {
            deliver(handler, context);
        }
        length_ = 0;
        data += piece + 1;
        size -= piece + 1;
    }
}

void EventLineBuffer::finish(LineHandler handler, void* context) {
    if (!discarding_ && length_ > 0)
        deliver(handler, context);
    length_ = 0;
    discarding_ = false;
}

void EventLineBuffer::deliver(LineHandler handler, void* context) {
    std::size_t length = length_;
    if (length > 0 && line_[length - 1] == '\r')
        --length;
    line_[length] = '\0';
    handler(line_, length, context);
}
