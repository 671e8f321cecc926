// Analyses arbitrary bytes as an HTTP/1.0 answer and cuts its body into the
// page's data lines, as the page adapter does.
#include "adapters/http/HTTPAdapter.h"
#include "adapters/http/HTTPResponse_1_0.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HTTPResponse_1_0 response;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int status = response.analyseResponse(text);
    if (status != 0 && status != -1008) {
        std::abort();
    }
    const std::string body = response.getResponseBody();
    if (body.size() > text.size()) {
        std::abort();
    }
    std::size_t pos = 0;
    while (pos < body.size()) {
        const std::size_t before = pos;
        if (HTTPAdapter::cutPageLine(body, pos).empty() || pos <= before) {
            break;
        }
    }
    return 0;
}
