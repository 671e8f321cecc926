#include "adapters/http/HTTPAdapter.h"

#include "adapters/http/HTTPStatus.h"
#include "adapters/http/HttpTrace.h"

#include <string_view>

namespace {
constexpr char kModule[] = "HTTPAdapter";
}

HTTPAdapter::HTTPAdapter() : client_(std::make_unique<HTTPClient_1_0>()) {}

HTTPAdapter::~HTTPAdapter() = default;

int HTTPAdapter::getPage(const std::string& page, std::string& text) {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPAdapter::getPage", kModule);
    if (!client_) {
        return HTTP_ERR_NO_CLIENT;
    }
    int result = client_->makeConnection(host_, HTTP_PAGE_PORT);
    if (result == 0) {
        result = client_->get(page, text);
    }
    client_->closeConnection();
    return result;
}

int HTTPAdapter::GetDataPage(const std::string& page, const std::list<std::string>*& lines) {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPAdapter::GetDataPage", kModule);
    lines_.clear();
    if (!client_) {
        return HTTP_ERR_NO_CLIENT;
    }
    std::string text;
    const int result = getPage(page, text);
    if (result != 0) {
        return result;
    }
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::string_view line = cutPageLine(text, pos);
        if (line.empty()) {
            break;
        }
        if (line.front() != '<') {
            insertLine(std::string(line));
        }
    }
    lines = &lines_;
    return 0;
}

std::string_view HTTPAdapter::cutPageLine(std::string_view text, std::size_t& pos) {
    const std::size_t start = text.find_first_not_of('\n', pos);
    if (start == std::string_view::npos) {
        pos = text.size();
        return {};
    }
    const std::size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
        pos = text.size();
        return text.substr(start);
    }
    std::size_t end = lf;
    if (end > start && text[end - 1] == '\r') {
        --end;
    }
    pos = lf + 1;
    return text.substr(start, end - start);
}

std::string HTTPAdapter::getOneLineFromPage(std::string& text) {
    std::size_t pos = 0;
    std::string line(cutPageLine(text, pos));
    text.erase(0, pos);
    return line;
}
