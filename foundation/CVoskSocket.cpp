#include "foundation/CVoskSocket.h"

#include <cerrno>
#include <cstdio>

CVoskSocket::CVoskSocket(const char* name, const char* host, int port, int kind)
    : name_(name != nullptr ? name : ""), host_(host != nullptr ? host : ""), port_(port),
      kind_(kind) {
    address_.s_addr = INADDR_NONE;
    in_addr resolved{};
    if (resolveIPv4(host_.c_str(), &resolved)) {
        address_ = resolved;
        resolved_ = true;
    }
}

CVoskSocket::~CVoskSocket() {
    close();
}

int CVoskSocket::createSocket() {
    close();
    const int type = kind_ == kTcp ? SOCK_STREAM : SOCK_DGRAM;
    socket_ = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    if (socket_ < 0) {
        socket_ = INVALID_SOCKET;
        message_ = "CVoskSocket::createSocket(), can't create socket error";
    }
    return socket_;
}

bool CVoskSocket::close() {
    if (!isOpen())
        return true;
    const bool closed = closesocket(socket_) == 0;
    socket_ = INVALID_SOCKET;
    return closed;
}

int CVoskSocket::send(const char* data, int length, int pauseMs) {
    if (data == nullptr || length <= 0) {
        message_ = "CVoskSocket::send(...), invalid buffer";
        return 0;
    }
    int sent = 0;
    bool paused = false;
    while (sent < length) {
        const std::size_t left = static_cast<std::size_t>(length - sent);
        errno = 0;
        ssize_t result =
            kind_ == kTcp ? sendNoSignal(socket_, data + sent, left)
                          : sendToNoSignal(socket_, data + sent, left,
                                           reinterpret_cast<const sockaddr*>(&peer_), sizeof peer_);
        if (result > 0) {
            sent += static_cast<int>(result);
            continue;
        }
        const int error = WSAGetLastError();
        char text[64];
        std::snprintf(text, sizeof text, "System error, %d , receive->", error);
        message_ = text;
        if (error == WSAEINTR || error == WSAEWOULDBLOCK) {
            if (paused)
                return sent;
            paused = true;
            Sleep(pauseMs > 0 ? static_cast<DWORD>(pauseMs) : 0);
            continue;
        }
        if (error == WSAENOTCONN) {
            message_ = "CVoskSocket::send(...), send failed, link disconnected";
            if (port_ > 0)
                close();
            return sent;
        }
        message_ = "CVoskSocket::send(...), send failed";
        return sent;
    }
    message_ = "CVoskSocket::send(...), success";
    return sent;
}
