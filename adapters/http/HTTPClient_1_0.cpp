#include "adapters/http/HTTPClient_1_0.h"

#include "adapters/http/HTTPStatus.h"
#include "adapters/http/HttpTrace.h"

#include <new>

namespace {
constexpr char kModule[] = "HTTPClient_1_0";
constexpr char kUserAgent[] = "PelmarClient/1.0";
} // namespace

HTTPClient_1_0::~HTTPClient_1_0() {
    closeConnection();
}

int HTTPClient_1_0::makeConnection(const char* host, int port) {
    return makeConnection(std::string(host != nullptr ? host : ""), port);
}

int HTTPClient_1_0::makeConnection(const std::string& host, int port) {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPClient_1_0::makeConnection", kModule);
    if (status_ == HTTP_CLIENT_CONNECTED) {
        if (host == host_ && port == port_) {
            return 0;
        }
        closeConnection();
    }
    host_ = host;
    port_ = port;
    auto socket = std::unique_ptr<HTTPSocket>(new (std::nothrow) HTTPSocket());
    if (!socket) {
        return HTTP_ERR_SOCKET;
    }
    const int result = socket->create(host, port);
    if (result != 0) {
        return result;
    }
    socket_ = std::move(socket);
    status_ = HTTP_CLIENT_CONNECTED;
    return 0;
}

int HTTPClient_1_0::closeConnection() {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPClient_1_0::closeConnection", kModule);
    if (status_ == HTTP_CLIENT_CLOSED) {
        return 0;
    }
    socket_.reset();
    status_ = HTTP_CLIENT_CLOSED;
    return 0;
}

int HTTPClient_1_0::get(const std::string& path, std::string& body) {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPClient_1_0::get", kModule);
    return perform("GET", path, body);
}

int HTTPClient_1_0::post(const std::string& path, std::string& body) {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPClient_1_0::post", kModule);
    return perform("POST", path, body);
}

int HTTPClient_1_0::head(const std::string& path, std::string& body) {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPClient_1_0::head", kModule);
    return perform("HEAD", path, body);
}

int HTTPClient_1_0::perform(const char* method, const std::string& path, std::string& body) {
    HTTPRequest_1_0 request;
    HTTPResponse_1_0 response;
    HTTPRequestLine& line = request.getHeader().getRequestLine();
    line.setMethod(method);
    line.setProtocol(HTTP_PROTOCOL_HTTP);
    line.setVersion(HTTP_VERSION_1_0);
    line.setRequestPath(path);
    request.getHeader().setUserAgent(kUserAgent);
    const int result = getResponse(&request, &response);
    if (result != 0) {
        return result;
    }
    body = response.getResponseBody();
    return 0;
}

int HTTPClient_1_0::getResponse(HTTPRequest* request, HTTPResponse* response) {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPClient_1_0::getResponse", kModule);
    if (request == nullptr || response == nullptr) {
        return HTTP_ERR_NO_MESSAGE;
    }
    std::string answer;
    const int result = sendRequest(request->getRequest(), answer);
    if (result != 0) {
        return result;
    }
    return response->analyseResponse(answer);
}

int HTTPClient_1_0::sendRequest(const std::string& request, std::string& response) {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPClient_1_0::sendRequest", kModule);
    if (status_ == HTTP_CLIENT_CLOSED || !socket_) {
        return HTTP_ERR_NO_CLIENT;
    }
    const int sent = socket_->sendMessage(request.data(), request.size());
    if (sent < 0 || static_cast<std::size_t>(sent) != request.size()) {
        return HTTP_ERR_SEND;
    }
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[HTTP_RECV_CHUNK + 1]);
    if (!buffer) {
        return HTTP_ERR_NO_BUFFER;
    }
    response.clear();
    // Read until the server closes or goes quiet: a chunk that did not fill
    // the buffer ended in one of these, so no second quiet wait is spent.
    std::size_t total = 0;
    bool tooLong = false;
    for (;;) {
        const int count = socket_->recvMessage(buffer.get());
        if (count <= 0) {
            break;
        }
        total += static_cast<std::size_t>(count);
        if (total > HTTP_MAX_RESPONSE_BYTES) {
            tooLong = true;
            break;
        }
        response.append(buffer.get(), static_cast<std::size_t>(count));
        if (count < HTTP_RECV_CHUNK) {
            break;
        }
    }
    if (total == 0 || tooLong) {
        response.clear();
        return HTTP_ERR_BAD_RESPONSE;
    }
    return 0;
}
