// Feeds arbitrary bytes to processCommand as a request document. Every
// reply must be empty ("Exit") or a well-formed document, whatever the
// request held.
#include <cstdint>
#include <cstdlib>
#include <string>

#include <orvane/fabapi.h>
#include <orvane/xmlcommand.h>

#include "composition/InitializationMgr.h"
#include "yarllite/RequestParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // No address file: a command never reaches a proxy switch it did not name.
    static const bool ready = (unsetenv("FABRIC_CONFIG_FILE"), initializeCommand());
    if (!ready) {
        std::abort();
    }
    const std::string request(reinterpret_cast<const char*>(data), size);
    std::string reply;
    processCommand(request, reply);
    if (!reply.empty()) {
        RequestParser parser;
        if (!parser.parse(reply, false)) {
            std::abort(); // a value reached the reply unescaped
        }
    }
    // Each input starts with an empty proxy list, so that discovery never
    // contacts an address an earlier input named.
    if (InitializationMgr::isAPIInitialized()) {
        FabAPI_ShutdownFabricAPI();
    }
    return 0;
}
