#include "foundation/CVoskClientSocket.h"

#include <cstdio>

#include "foundation/InternalTiming.h"

CVoskClientSocket::CVoskClientSocket(const char* host, int port, const char* name, int kind)
    : CVoskSocket(name, host, port, kind) {}

CVoskClientSocket::~CVoskClientSocket() = default;

bool CVoskClientSocket::connect() {
    if (isOpen()) {
        message_ = "CVoskClientSocket::connect(), the connect has been established";
        return true;
    }
    if (!resolved_) {
        message_ = "CVoskClientSocket::connect(), invalid internet address, " + host_;
        return false;
    }
    if (createSocket() < 0)
        return false;

    peer_ = sockaddr_in{};
    peer_.sin_family = AF_INET;
    peer_.sin_port = htons(static_cast<uint16_t>(port_));
    peer_.sin_addr = address_;
    char server[320];
    std::snprintf(server, sizeof server, "%d@%s", port_, host_.c_str());

    if (kind_ != kTcp) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_ANY);
        if (::bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
            message_ = "CVoskClientSocket::connect(), can't bind";
            close();
            return false;
        }
    } else if (connectWithTimeout(socket_, reinterpret_cast<const sockaddr*>(&peer_), sizeof peer_,
                                  internalTiming().connectTimeout) != 0) {
        message_ = std::string("CVoskClientSocket::connect(), can't connect to server: ") + server;
        close();
        return false;
    }
    message_ = std::string("CVoskClientSocket::connect(), connected to server: ") + server;
    return true;
}

int CVoskClientSocket::send(const char* data, int length) {
    // Nothing to send is refused before any connection is made for it.
    const bool nothingToSend = data == nullptr || length <= 0;
    if (!nothingToSend && connectOnDemand_ == 1 && !isOpen() && !connect()) {
        message_ = "CVoskClientSocket::send(...), connection failed";
        return 0;
    }
    return CVoskSocket::send(data, length,
                             static_cast<int>(internalTiming().socketSendPause.count()));
}
