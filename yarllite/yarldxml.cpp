// The exports of the XML command interface.
#include <orvane/xmlcommand.h>

#include <cstdio>
#include <cstring>

#include "api/ApiState.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "objects/gorlib.h"
#include "yarllite/CommandFrontEnd.h"
#include "yarllite/XmlPlatform.h"

namespace {

constexpr char kSource[] = "yarldxml";

// The reply in a caller block with its NUL; null when none can be had.
char* toCallerBlock(const std::string& reply) {
    auto* block = static_cast<char*>(falAllocObject(reply.size() + 1));
    if (block != nullptr) {
        std::memcpy(block, reply.c_str(), reply.size() + 1);
    }
    return block;
}

} // namespace

bool initializeCommand(void) {
    try {
        // Traced only while the library is initialised.
        const bool traced = isAPIInitialized();
        if (traced) {
            traceRecord(Vosk_API_XML, "Entering ", "initializeCommand", "", kSource, __LINE__);
        }
        std::string failure;
        if (!readyXmlPlatform(failure)) {
            std::fprintf(stderr, "Fatal error during Initialize(): %s\n", failure.c_str());
            return false;
        }
        if (traced) {
            traceRecord(Vosk_API_XML, "Exiting ", "initializeCommand", "", kSource, __LINE__);
        }
        return true;
    } catch (...) {
        return false;
    }
}

bool processCommand(const std::string& request, std::string& reply) {
    return runCommand(request, reply);
}

bool processCommand(const std::string& request, char** reply) {
    if (reply == nullptr) {
        return false;
    }
    std::string answer;
    const bool succeeded = runCommand(request, answer);
    *reply = toCallerBlock(answer);
    return succeeded && *reply != nullptr;
}

bool processCommand(const char* request, void** reply) {
    if (reply == nullptr) {
        return false;
    }
    *reply = nullptr;
    try {
        char* block = nullptr;
        const bool succeeded =
            processCommand(std::string(request != nullptr ? request : ""), &block);
        *reply = block;
        return succeeded;
    } catch (...) {
        return false; // the request could not be copied
    }
}
