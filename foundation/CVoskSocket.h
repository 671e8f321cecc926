// A TCP or UDP socket to one host and port that keeps the text of its last
// outcome. Failures never throw: they set the text and return false or a
// short byte count.
#pragma once

#include <string>

#include "platform/winsock.h"

class CVoskSocket {
public:
    static constexpr int kTcp = 1; // any other kind is UDP

    // Resolves the host (dotted text first, then a name look-up); no socket
    // is made yet.
    CVoskSocket(const char* name, const char* host, int port, int kind);
    virtual ~CVoskSocket();

    CVoskSocket(const CVoskSocket&) = delete;
    CVoskSocket& operator=(const CVoskSocket&) = delete;

    // Makes an IPv4 stream (TCP) or datagram socket, closing one still open:
    // the descriptor, or -1.
    virtual int createSocket();

    bool isOpen() const { return socket_ >= 0; }
    // True when nothing is left open.
    bool close();
    // Sends every byte, pausing `pauseMs` once after an interrupted or
    // would-block send: the number of bytes sent.
    int send(const char* data, int length, int pauseMs);

    SOCKET getSocket() const { return socket_; }
    int getPort() const { return port_; }
    const std::string& getHost() const { return host_; }
    const std::string& getName() const { return name_; }
    // The text of the last outcome; informational only.
    const std::string& getMessage() const { return message_; }
    bool isResolved() const { return resolved_; }

protected:
    std::string name_;
    std::string host_;
    int port_;
    SOCKET socket_ = INVALID_SOCKET;
    int kind_;
    std::string message_;
    sockaddr_in peer_{};
    in_addr address_{}; // network order; all ones while unresolved
    bool resolved_ = false;
};
