#include "zoning/ZoningTrace.h"

#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"

namespace {

void write(const char* message, const char* method, const std::string& arguments,
           const char* source, int line) {
    traceRecord(Vosk_Zoning, message, method, arguments.c_str(), source, line);
}

} // namespace

void ZoningTrace::enter(const std::string& arguments, int line) const {
    write("Entering Method", method_, arguments, source_, line);
}

void ZoningTrace::exit(const std::string& arguments, int line) const {
    write("Exiting Method", method_, arguments, source_, line);
}

bool ZoningTrace::enabled() {
    return isCategoryEnabled(Vosk_Zoning);
}
