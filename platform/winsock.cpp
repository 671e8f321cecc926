#include "platform/winsock.h"

#include <fcntl.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace {

std::mutex startupMutex;
int startupCount = 0;

// A name a resolver could answer: letters, digits, '-', '_' and '.', at most
// 253 characters.
bool couldBeHostName(const char* host) {
    std::size_t length = strnlen(host, 254);
    if (length == 0 || length > 253)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(host[i]);
        if (!(std::isalnum(c) || c == '-' || c == '_' || c == '.'))
            return false;
    }
    return true;
}

// Milliseconds from now to the deadline, never negative.
int millisecondsLeft(std::chrono::steady_clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

int WSAStartup(WORD versionRequested, WSADATA* data) {
    const int major = versionRequested & 0xFF;
    const int minor = (versionRequested >> 8) & 0xFF;
    if (major < 1 || (major == 1 && minor < 1))
        return WSAVERNOTSUPPORTED;
    if (data != nullptr) {
        std::memset(data, 0, sizeof *data);
        data->wVersion = MAKEWORD(1, 1);
        data->wHighVersion = MAKEWORD(2, 2);
        std::strncpy(data->szDescription, "BSD sockets", sizeof data->szDescription - 1);
        std::strncpy(data->szSystemStatus, "Running", sizeof data->szSystemStatus - 1);
    }
    std::lock_guard<std::mutex> lock(startupMutex);
    ++startupCount;
    return 0;
}

int WSACleanup() {
    std::lock_guard<std::mutex> lock(startupMutex);
    if (startupCount == 0)
        return SOCKET_ERROR;
    --startupCount;
    return 0;
}

int WSAStartupCount() {
    std::lock_guard<std::mutex> lock(startupMutex);
    return startupCount;
}

int WSAErrorFromErrno(int error) {
    switch (error) {
    case 0:
        return 0;
    case EINTR:
        return WSAEINTR;
    case EBADF:
        return WSAEBADF;
    case EACCES:
        return WSAEACCES;
    case EFAULT:
        return WSAEFAULT;
    case EINVAL:
        return WSAEINVAL;
    case EMFILE:
        return WSAEMFILE;
    case EAGAIN:
        return WSAEWOULDBLOCK;
    case EINPROGRESS:
        return WSAEINPROGRESS;
    case EALREADY:
        return WSAEALREADY;
    case ENOTSOCK:
        return WSAENOTSOCK;
    case EMSGSIZE:
        return WSAEMSGSIZE;
    case EAFNOSUPPORT:
        return WSAEAFNOSUPPORT;
    case EADDRINUSE:
        return WSAEADDRINUSE;
    case EADDRNOTAVAIL:
        return WSAEADDRNOTAVAIL;
    case ENETDOWN:
        return WSAENETDOWN;
    case ENETUNREACH:
        return WSAENETUNREACH;
    case ENETRESET:
        return WSAENETRESET;
    case ECONNABORTED:
        return WSAECONNABORTED;
    case ECONNRESET:
        return WSAECONNRESET;
    case ENOBUFS:
        return WSAENOBUFS;
    case EISCONN:
        return WSAEISCONN;
    case ENOTCONN:
    // A send after the peer has gone reports EPIPE here; Winsock calls the
    // link disconnected.
    case EPIPE:
        return WSAENOTCONN;
    case ESHUTDOWN:
        return WSAESHUTDOWN;
    case ETIMEDOUT:
        return WSAETIMEDOUT;
    case ECONNREFUSED:
        return WSAECONNREFUSED;
    case EHOSTUNREACH:
        return WSAEHOSTUNREACH;
    default:
        return error;
    }
}

int WSAGetLastError() {
    return WSAErrorFromErrno(errno);
}

int closesocket(SOCKET socket) {
    return ::close(socket) == 0 ? 0 : SOCKET_ERROR;
}

bool resolveIPv4(const char* host, in_addr* address) {
    if (host == nullptr || address == nullptr)
        return false;
    if (inet_aton(host, address) != 0)
        return true;
    if (!couldBeHostName(host))
        return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* answer = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &answer) != 0 || answer == nullptr)
        return false;
    *address = reinterpret_cast<const sockaddr_in*>(answer->ai_addr)->sin_addr;
    freeaddrinfo(answer);
    return true;
}

int connectWithTimeout(SOCKET socket, const sockaddr* address, socklen_t length,
                       std::chrono::milliseconds timeout) {
    const int flags = fcntl(socket, F_GETFL);
    if (flags < 0 || fcntl(socket, F_SETFL, flags | O_NONBLOCK) < 0)
        return SOCKET_ERROR;
    int result = ::connect(socket, address, length);
    int error = result == 0 ? 0 : errno;
    if (result != 0 && error == EINPROGRESS) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        int ready = pollSocket(socket, POLLOUT, millisecondsLeft(deadline));
        if (ready == 0) {
            error = ETIMEDOUT;
        } else if (ready < 0) {
            error = errno;
        } else {
            socklen_t size = sizeof error;
            if (getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                error = errno;
        }
    }
    fcntl(socket, F_SETFL, flags);
    if (error != 0) {
        errno = error;
        return SOCKET_ERROR;
    }
    return 0;
}

int pollSocket(SOCKET socket, short events, int timeoutMs) {
    pollfd entry{socket, events, 0};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int result = ::poll(&entry, 1, timeoutMs);
        if (result > 0)
            return entry.revents;
        if (result == 0)
            return 0;
        if (errno != EINTR)
            return -1;
        if (timeoutMs >= 0)
            timeoutMs = millisecondsLeft(deadline);
    }
}

ssize_t sendNoSignal(SOCKET socket, const void* data, std::size_t length) {
    return ::send(socket, data, length, MSG_NOSIGNAL);
}

ssize_t sendToNoSignal(SOCKET socket, const void* data, std::size_t length, const sockaddr* to,
                       socklen_t toLength) {
    return ::sendto(socket, data, length, MSG_NOSIGNAL, to, toLength);
}
