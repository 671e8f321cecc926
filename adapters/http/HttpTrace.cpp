#include "adapters/http/HttpTrace.h"

void httpTrace(const char* logger, const char* message, const char* method,
               const std::string& argument, const char* sourceFile) {
    traceRecord(logger, message, method, argument.c_str(), sourceFile, -1);
}
