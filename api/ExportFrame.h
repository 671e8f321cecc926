// The frame that every exported function shares, and the guard steps of
// their implementations.
//
// runExport() writes "Entering " and "Exiting " trace records under
// Vosk_Ext_API, naming the export's source module, and keeps every exception
// inside the library: out of memory, or any other failure that escapes an
// implementation, returns -2.
//
// gatedCall() holds the shutdown gate in shared mode around the work: -98
// while the library is not initialised, -216 once shutdown has begun (at
// once: a call never waits for the calls that delay a shutdown).
// exclusiveCall() holds it exclusively: the work runs once every other call
// has left, and none enters until it ends.
#pragma once

#include <new>

#include <orvane/status.h>

#include "api/ApiState.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/ShutdownLock.h"

template <class Implementation>
int runExport(const char* exportName, Implementation&& implementation,
              const char* sourceFile = "hapi_impl") noexcept {
    try {
        traceRecord(Vosk_Ext_API, "Entering ", exportName, "", sourceFile, __LINE__);
        const int status = implementation();
        traceRecord(Vosk_Ext_API, "Exiting ", exportName, "", sourceFile, __LINE__);
        return status;
    } catch (...) {
        return FABAPI_ERR_OUT_OF_MEMORY;
    }
}

// Whether gatedCall() first requires an initialised library.
enum class InitCheck { Required, NotRequired };

template <class Work> int gatedCall(InitCheck check, Work&& work) {
    if (check == InitCheck::Required && !isAPIInitialized()) {
        return FABAPI_ERR_NOT_INITIALIZED;
    }
    ShutdownLock gate(false);
    if (gate.refused() || IsShuttingDown()) {
        return FABAPI_ERR_SHUTTING_DOWN;
    }
    // A shutdown may have completed while this call waited at the gate.
    if (check == InitCheck::Required && !isAPIInitialized()) {
        return FABAPI_ERR_NOT_INITIALIZED;
    }
    return work();
}

// The caller has checked that the library is initialised. -216 once
// shutdown has begun; -98 when the library stopped while this call waited.
template <class Work> int exclusiveCall(Work&& work) {
    ShutdownLock gate(true);
    if (gate.refused() || IsShuttingDown()) {
        return FABAPI_ERR_SHUTTING_DOWN;
    }
    if (!isAPIInitialized()) {
        return FABAPI_ERR_NOT_INITIALIZED;
    }
    return work();
}

// The frame's refusals for exports that trace them as failures of their
// method under Vosk_Ext_API. tracedInitRefusal: -98 while the library is
// not initialised. tracedShutdownRefusal: -216 when `gate` (held by the
// caller for the call) was refused or shutdown has begun. Both 0 when the
// call may go on.
inline int tracedInitRefusal(const char* method, const char* sourceFile, int line) {
    if (isAPIInitialized()) {
        return 0;
    }
    traceRecord(Vosk_Ext_API, "Method Failed, API not initialized.", method, "", sourceFile, line);
    return FABAPI_ERR_NOT_INITIALIZED;
}

inline int tracedShutdownRefusal(const char* method, const char* sourceFile,
                                 const ShutdownLock& gate, int line) {
    if (!gate.refused() && !IsShuttingDown()) {
        return 0;
    }
    traceRecord(Vosk_Ext_API, "Method Failed, API shutting down.", method, "", sourceFile, line);
    return FABAPI_ERR_SHUTTING_DOWN;
}
