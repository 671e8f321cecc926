// A TCP client socket to one web server, on IPv4.
#pragma once

#include "platform/winsock.h"

#include <cstddef>
#include <string>

// Size of one receive chunk; a receive buffer holds this many bytes.
inline constexpr int HTTP_RECV_CHUNK = 131072;

class HTTPSocket {
public:
    // Starts the socket library (version 1.1) for this socket.
    HTTPSocket();
    // Closes the socket and ends this socket's use of the socket library.
    virtual ~HTTPSocket();
    HTTPSocket(const HTTPSocket&) = delete;
    HTTPSocket& operator=(const HTTPSocket&) = delete;

    // Connects to `host` (dotted IPv4 text or a name resolving to IPv4) and
    // `port`: 0, -1002 (no socket), -1003 (bind failed) or -1004 (host not
    // resolved to a usable address, or connect failed or timed out).
    int create(const std::string& host, int port);

    // Discards waiting input, then sends all `length` bytes: the count
    // sent, 0 when not connected, -1 on a send error.
    int sendMessage(const char* data, std::size_t length);

    // Receives into `buffer` (HTTP_RECV_CHUNK bytes) until the server
    // closes, the answer goes quiet for the HTTP quiet time-out, or the
    // buffer is full: the bytes received, 0 when not connected.
    int recvMessage(char* buffer);

    bool isConnected() const { return socket_ != INVALID_SOCKET && connected_; }

    // Discards input that is already waiting.
    void cleanPipe();

    const std::string& getRemoteHost() const { return host_; }
    int getRemotePort() const { return port_; }

private:
    void closeSocket();

    std::string host_;
    int port_ = 0;
    in_addr address_{};
    SOCKET socket_ = INVALID_SOCKET;
    bool connected_ = false;
};
