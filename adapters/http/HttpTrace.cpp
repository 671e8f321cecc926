#include "adapters/http/HttpTrace.h"

#include "foundation/Logging.h"
#include "foundation/QuillonString.h"

void httpTrace(const char* logger, const char* message, const char* method,
               const std::string& argument, const char* sourceFile) {
    // Cheap when the logger name is not traced: nothing is formatted.
    if (!isCategoryEnabled(logger)) {
        return;
    }
    logTrace(logger, message, QuillonString(method), argument.c_str(), QuillonString(sourceFile),
             -1);
}
