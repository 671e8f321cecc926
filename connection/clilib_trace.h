// "Entering " and "Exiting " records of a request operation, under
// Vosk_Discovery with the source file name "clilib".
#pragma once

#include "foundation/Logging.h"
#include "foundation/QuillonString.h"

class ClilibTrace {
public:
    explicit ClilibTrace(const char* method, int line = __builtin_LINE()) : method_(method) {
        logTrace(Vosk_Discovery, "Entering ", QuillonString(method_), "", QuillonString("clilib"),
                 line);
    }
    ~ClilibTrace() {
        logTrace(Vosk_Discovery, "Exiting ", QuillonString(method_), "", QuillonString("clilib"),
                 -1);
    }
    ClilibTrace(const ClilibTrace&) = delete;
    ClilibTrace& operator=(const ClilibTrace&) = delete;

private:
    const char* method_;
};
