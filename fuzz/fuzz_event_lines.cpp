// Feeds arbitrary bytes to the event listener's line reader and parser, as
// a switch connection would: the first byte sets the size of the pieces the
// stream arrives in, the rest is the stream. Every line that parses must
// give a record within its bounds; its port list is freed.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "connection/EventLineBuffer.h"
#include "connection/EventListener.h"

namespace {

void parseLine(const char* line, std::size_t length, void* /*context*/) {
    // A NUL byte inside a line ends its text for the parser.
    if (length > kEventLineMax - 1 || std::strlen(line) > length)
        std::abort();
    SwitchEvent record;
    if (parseEventText(line, &record) != 0) {
        if (record.portList.names != nullptr)
            std::abort();
        return;
    }
    if (record.type >= 32 && record.type <= 63 &&
        strnlen(record.text.text, sizeof record.text.text) > kEventTextMax)
        std::abort();
    if (record.type >= 96 && record.type <= 127) {
        if ((record.portList.count == 0) != (record.portList.names == nullptr))
            std::abort();
        if (record.portList.count > length / 16)
            std::abort();
        // Touch every name, so that a block shorter than the count shows.
        volatile std::uint8_t sum = 0;
        for (std::uint32_t i = 0; i < record.portList.count; ++i)
            for (std::uint8_t byte : record.portList.names[i])
                sum = static_cast<std::uint8_t>(sum + byte);
    }
    std::free(record.portList.names);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::size_t piece = std::size_t{data[0]} + 1;
    const char* stream = reinterpret_cast<const char*>(data + 1);
    std::size_t rest = size - 1;
    EventLineBuffer lines;
    while (rest > 0) {
        const std::size_t n = rest < piece ? rest : piece;
        lines.append(stream, n, parseLine, nullptr);
        stream += n;
        rest -= n;
    }
    lines.finish(parseLine, nullptr);
    return 0;
}
