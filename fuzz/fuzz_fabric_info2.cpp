// Reads arbitrary bytes as the data lines of the fabric's link page; every
// link handed out has port numbers that are unread (-1) or real ports.
#include "fuzz/page_lines.h"
#include "topology/UDAL_Topology.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::list<UDAL_ISL*> links;
    UDAL_Topology::readLinks(pageLines(data, size), links);
    for (UDAL_ISL* link : links) {
        if (link->port < -1 || link->port > 65535 || link->remotePort < -1 ||
            link->remotePort > 65535) {
            std::abort();
        }
        delete link;
    }
    return 0;
}
