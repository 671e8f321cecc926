#include "adapters/http/HTTPSocket.h"

#include "adapters/http/HTTPStatus.h"
#include "adapters/http/HttpTrace.h"
#include "foundation/InternalTiming.h"

#include <memory>

namespace {
constexpr char kModule[] = "HTTPSocket";
}

HTTPSocket::HTTPSocket() {
    WSAStartup(MAKEWORD(1, 1), nullptr);
}

HTTPSocket::~HTTPSocket() {
    closeSocket();
    WSACleanup();
}

void HTTPSocket::closeSocket() {
    if (socket_ != INVALID_SOCKET) {
        closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
    connected_ = false;
}

int HTTPSocket::create(const std::string& host, int port) {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPSocket::create", kModule);
    closeSocket();
    host_ = host;
    port_ = port;
    socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (socket_ == INVALID_SOCKET) {
        return HTTP_ERR_SOCKET;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = 0;
    if (::bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        closeSocket();
        return HTTP_ERR_BIND;
    }
    // A host that does not resolve to a usable IPv4 address is never
    // connected to: neither the "any" nor the broadcast address is a server.
    if (port < 0 || port > 65535 || !resolveIPv4(host.c_str(), &address_) ||
        address_.s_addr == htonl(INADDR_ANY) || address_.s_addr == htonl(INADDR_NONE)) {
        closeSocket();
        return HTTP_ERR_CONNECT;
    }
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_addr = address_;
    remote.sin_port = htons(static_cast<uint16_t>(port));
    if (connectWithTimeout(socket_, reinterpret_cast<const sockaddr*>(&remote), sizeof remote,
                           internalTiming().connectTimeout) != 0) {
        closeSocket();
        return HTTP_ERR_CONNECT;
    }
    connected_ = true;
    return 0;
}

int HTTPSocket::sendMessage(const char* data, std::size_t length) {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPSocket::sendMessage", kModule);
    if (!isConnected()) {
        return 0;
    }
    cleanPipe();
    std::size_t sent = 0;
    while (sent < length) {
        const ssize_t count = sendNoSignal(socket_, data + sent, length - sent);
        if (count <= 0) {
            return -1;
        }
        sent += static_cast<std::size_t>(count);
    }
    return static_cast<int>(sent);
}

int HTTPSocket::recvMessage(char* buffer) {
    HttpTraceScope trace(HTTP_LOGGER, "HTTPSocket::recvMessage", kModule);
    if (!isConnected()) {
        return 0;
    }
    const int quietMs = static_cast<int>(internalTiming().httpQuietTimeout.count());
    int received = 0;
    while (received < HTTP_RECV_CHUNK) {
        if (pollSocket(socket_, POLLIN, quietMs) <= 0) {
            break;
        }
        const ssize_t count = ::recv(socket_, buffer + received,
                                     static_cast<std::size_t>(HTTP_RECV_CHUNK - received), 0);
        if (count <= 0) {
            break;
        }
        received += static_cast<int>(count);
    }
    return received;
}

void HTTPSocket::cleanPipe() {
    if (!isConnected()) {
        return;
    }
    auto scratch = std::make_unique<char[]>(HTTP_RECV_CHUNK + 1);
    while (pollSocket(socket_, POLLIN, 0) > 0 &&
           ::recv(socket_, scratch.get(), HTTP_RECV_CHUNK, 0) > 0) {
    }
}
