#include "adapters/http/HTTPResponse_1_0.h"

#include "adapters/http/HTTPStatus.h"
#include "adapters/http/HttpTrace.h"

#include <string_view>

namespace {

// Cuts the next line off `text` at `pos`: everything before the first LF,
// without a CR just before it; `pos` moves past the LF, or to the end when
// no LF is left.
std::string_view cutLine(std::string_view text, std::size_t& pos) {
    const std::size_t lf = text.find('\n', pos);
    const std::size_t end = lf == std::string_view::npos ? text.size() : lf;
    std::string_view line = text.substr(pos, end - pos);
    if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    pos = lf == std::string_view::npos ? text.size() : lf + 1;
    return line;
}

} // namespace

int HTTPResponse_1_0::analyseResponse(const std::string& text) {
    httpTrace(HTTP_LOGGER, "response is : ", "HTTPResponse_1_0::analyseResponse", text,
              "HTTPResponse_1_0");
    std::size_t pos = 0;
    header_.getStatusLine().parse(std::string(cutLine(text, pos)));
    while (pos < text.size() && !cutLine(text, pos).empty()) {
    }
    getBody().document.split(text.substr(pos));
    return header_.getStatusLine().getStatusCode() == 200 ? 0 : HTTP_ERR_BAD_RESPONSE;
}

std::string HTTPResponse_1_0::getResponseBody() const {
    return getBody().document.getBody().getFiltered();
}
