// An HTTP/1.0 client: connects, sends one request and reads the whole
// answer, which ends when the server closes the connection or goes quiet.
#pragma once

#include "adapters/http/HTTPClientInterfaces.h"
#include "adapters/http/HTTPRequest_1_0.h"
#include "adapters/http/HTTPResponse_1_0.h"
#include "adapters/http/HTTPSocket.h"

#include <memory>
#include <string>

// Connection states of a client.
inline constexpr int HTTP_CLIENT_CLOSED = 1;
inline constexpr int HTTP_CLIENT_CONNECTED = 2;

// Upper bound of one answer; a longer one is refused.
inline constexpr std::size_t HTTP_MAX_RESPONSE_BYTES =
    32 * static_cast<std::size_t>(HTTP_RECV_CHUNK);

class HTTPClient_1_0 : public IHTTPClient, public IHTTP_1_0 {
public:
    HTTPClient_1_0() = default;
    ~HTTPClient_1_0() override;

    // 0 when connected (kept as it is for the same host and port), else
    // the socket's error; the client is then closed.
    int makeConnection(const char* host, int port) override;
    int makeConnection(const std::string& host, int port) override;
    int closeConnection() override;
    int getConnectionStatus() const override { return status_; }
    std::string getRemoteHost() const override { return host_; }
    int getRemotePort() const override { return port_; }

    std::string getProtocolName() const override { return "HyperText Transfer Protocol"; }
    int getProtocolWord() const override { return 0x10002; }
    int getProtocolIdentifier() const override { return HTTP_PROTOCOL_HTTP; }
    int getVersion() const override { return HTTP_VERSION_1_0; }

    // Requests `path` with the method and, on 0, sets `body` to the page's
    // data lines; on an error `body` is left as it was.
    int get(const std::string& path, std::string& body) override;
    int post(const std::string& path, std::string& body) override;
    int head(const std::string& path, std::string& body) override;

    // Sends the request and analyses the answer: 0, or -1001, -1005,
    // -1007, -1008, -1009.
    int getResponse(HTTPRequest* request, HTTPResponse* response);
    // Sends `request` and reads the answer into `response`.
    int sendRequest(const std::string& request, std::string& response);

private:
    int perform(const char* method, const std::string& path, std::string& body);

    std::string host_;
    int port_ = 80;
    int status_ = HTTP_CLIENT_CLOSED;
    std::unique_ptr<HTTPSocket> socket_;
};
