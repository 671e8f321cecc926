#include "foundation/MethodTrace.h"

#include "foundation/Logging.h"
#include "foundation/QuillonString.h"

void traceRecord(const char* category, const char* message, const char* method,
                 const char* argument, const char* sourceFile, int line) noexcept {
    try {
        // Cheap when the category is not traced: nothing is formatted.
        if (!isCategoryEnabled(category)) {
            return;
        }
        logTrace(category, message, QuillonString(method), argument, QuillonString(sourceFile),
                 line);
    } catch (...) {
    }
}

MethodTrace::MethodTrace(const char* category, const char* method, const char* sourceFile,
                         int line) noexcept
    : category_(category), method_(method), sourceFile_(sourceFile), line_(line) {
    traceRecord(category_, "Entering ", method_, "", sourceFile_, line_);
}

MethodTrace::~MethodTrace() {
    traceRecord(category_, "Exiting ", method_, "", sourceFile_, line_);
}
