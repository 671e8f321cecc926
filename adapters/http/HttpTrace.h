// Trace records of the HTTP client, the HTTP connection and the topology
// reader. They go to their own logger names, which are not trace categories
// of their own: a record is written only when that name is traced.
#pragma once

#include "foundation/MethodTrace.h"

#include <string>

inline constexpr const char HTTP_LOGGER[] = "UDAL_HTTP.log";
inline constexpr const char TOPOLOGY_LOGGER[] = "UDAL_Topology.log";

// Writes `message` with the method name, argument text and source module.
void httpTrace(const char* logger, const char* message, const char* method,
               const std::string& argument, const char* sourceFile);

// "Entering " on construction and "Exiting " on destruction of a scope.
class HttpTraceScope : public MethodTrace {
public:
    HttpTraceScope(const char* logger, const char* method, const char* sourceFile)
        : MethodTrace(logger, method, sourceFile, -1) {}
};
