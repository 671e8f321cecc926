#include "CommandChannel.h"

#include <orvane/objects.h>
#include <orvane/xmlcommand.h>

bool LibraryChannel::initialize() { return initializeCommand(); }

bool LibraryChannel::process(const std::string& request, std::string& reply) {
    reply.clear();
    void* block = nullptr;
    const bool result = processCommand(request.c_str(), &block);
    if (block != nullptr) {
        reply = static_cast<const char*>(block);
        falFreeObject(block);
    }
    return result;
}
