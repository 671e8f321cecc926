#include "yarllite/XmlPlatform.h"

#include <mutex>

#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLException.hpp>

namespace {

// The platform's message as plain text: its transcoders may not be usable
// when it failed to start.
std::string asciiText(const XMLCh* text) {
    std::string out;
    for (; text != nullptr && *text != 0; ++text) {
        out += *text < 0x80 ? static_cast<char>(*text) : '?';
    }
    return out;
}

} // namespace

bool readyXmlPlatform(std::string& failure) {
    static std::mutex starting;
    static bool ready = false;
    const std::lock_guard<std::mutex> hold(starting);
    if (ready) {
        return true;
    }
    try {
        xercesc::XMLPlatformUtils::Initialize();
        ready = true;
    } catch (const xercesc::XMLException& exception) {
        failure = asciiText(exception.getMessage());
    }
    return ready;
}
