// A TCP listener on 127.0.0.1 and a port the system picks, for tests that
// need a peer to connect to.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

class LoopbackListener {
public:
    explicit LoopbackListener(int backlog = 8) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        address_.sin_family = AF_INET;
        address_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::bind(fd_, address(), sizeof address_), 0);
        EXPECT_EQ(::listen(fd_, backlog), 0);
        socklen_t size = sizeof address_;
        EXPECT_EQ(::getsockname(fd_, reinterpret_cast<sockaddr*>(&address_), &size), 0);
    }
    ~LoopbackListener() { ::close(fd_); }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int fd() const { return fd_; }
    int port() const { return ntohs(address_.sin_port); }
    const sockaddr_in& inetAddress() const { return address_; }
    const sockaddr* address() const { return reinterpret_cast<const sockaddr*>(&address_); }

private:
    int fd_ = -1;
    sockaddr_in address_{};
};
