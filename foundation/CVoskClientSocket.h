// A client socket that connects to its host and port on demand.
#pragma once

#include "foundation/CVoskSocket.h"

class CVoskClientSocket : public CVoskSocket {
public:
    CVoskClientSocket(const char* host, int port, const char* name, int kind);
    ~CVoskClientSocket() override;

    // Connects (TCP, within internalTiming().connectTimeout) or binds a local
    // address (UDP): true when the socket is ready to send.
    bool connect();
    // Connects first when needed, then sends with the send pause of
    // internalTiming(): the number of bytes sent, 0 on failure.
    int send(const char* data, int length);

private:
    int connectOnDemand_ = 1;
};
