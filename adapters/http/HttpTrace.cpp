#include "adapters/http/HttpTrace.h"

void httpTrace(const char* logger, const char* message, const char* method,
               const std::string& argument, const char* sourceFile) {
    // Wired to the category logging facility once it is merged.
    (void)logger;
    (void)message;
    (void)method;
    (void)argument;
    (void)sourceFile;
}
