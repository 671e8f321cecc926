// Reads arbitrary bytes as the data lines of a proxy switch's own page.
#include "adapters/http/ProxyInfoPage.h"
#include "fuzz/page_lines.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ProxyInfo info = readProxyInfo(pageLines(data, size));
    if (info.wwn) {
        (void)info.wwn->toString();
    }
    if (info.version) {
        (void)info.version->toString();
    }
    return 0;
}
