// "Entering " and "Exiting " records of a request operation, under
// Vosk_Discovery with the source file name "clilib".
#pragma once

#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"

class ClilibTrace : public MethodTrace {
public:
    explicit ClilibTrace(const char* method, int line = __builtin_LINE())
        : MethodTrace(Vosk_Discovery, method, "clilib", line) {}
};
