// A handler that writes records to an output stream.
#pragma once

#include <ostream>

#include "foundation/CVoskWaitMutex.h"
#include "foundation/Handler.h"

class StreamHandler : public Handler {
public:
    // Writes to `stream`, which the caller keeps alive.
    explicit StreamHandler(std::ostream* stream);

    // Both take the handler's own lock. On a stream failure they clear the
    // stream's error state, so that later records can be written, and
    // return false: the record is lost.
    bool flush() override;
    bool write(const QuillonString& text) override;

protected:
    StreamHandler() = default;
    void setStream(std::ostream* stream) { stream_ = stream; }

private:
    bool recoverFromFailure();

    std::ostream* stream_ = nullptr;
    CVoskWaitMutex mutex_;
};
