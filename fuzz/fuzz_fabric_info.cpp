// Reads arbitrary bytes as the data lines of the fabric's switch page; every
// record handed out has ended text fields and an in-range domain.
#include "fuzz/page_lines.h"
#include "topology/UDAL_Topology.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::list<UDAL_Switch*> switches;
    UDAL_Topology::readSwitches(pageLines(data, size), switches);
    for (UDAL_Switch* record : switches) {
        if (std::memchr(record->switchName, 0, sizeof record->switchName) == nullptr ||
            std::memchr(record->gatewayIP, 0, sizeof record->gatewayIP) == nullptr ||
            record->domainID < -1 || record->domainID > 255) {
            std::abort();
        }
        delete record;
    }
    return 0;
}
