// The part of the Winsock interface the library uses, on BSD sockets.
//
// Sockets are plain descriptors. What Winsock adds is kept small: the
// reference-counted WSAStartup/WSACleanup pair, WSAGetLastError with the
// Winsock error numbers the library tests for, IPv4 name look-up, a connect
// with a time-out, waits through poll (never select: fd_set breaks above
// 1024 descriptors), and sends that never raise SIGPIPE.
#pragma once

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>

#include "platform/win32.h"

using SOCKET = int;
inline constexpr SOCKET INVALID_SOCKET = -1;
inline constexpr int SOCKET_ERROR = -1;

inline constexpr WORD MAKEWORD(int low, int high) {
    return static_cast<WORD>((low & 0xFF) | ((high & 0xFF) << 8));
}

struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[257];
    char szSystemStatus[129];
};

// Winsock error numbers, as WSAGetLastError reports them.
inline constexpr int WSAEINTR = 10004;
inline constexpr int WSAEBADF = 10009;
inline constexpr int WSAEACCES = 10013;
inline constexpr int WSAEFAULT = 10014;
inline constexpr int WSAEINVAL = 10022;
inline constexpr int WSAEMFILE = 10024;
inline constexpr int WSAEWOULDBLOCK = 10035;
inline constexpr int WSAEINPROGRESS = 10036;
inline constexpr int WSAEALREADY = 10037;
inline constexpr int WSAENOTSOCK = 10038;
inline constexpr int WSAEMSGSIZE = 10040;
inline constexpr int WSAEAFNOSUPPORT = 10047;
inline constexpr int WSAEADDRINUSE = 10048;
inline constexpr int WSAEADDRNOTAVAIL = 10049;
inline constexpr int WSAENETDOWN = 10050;
inline constexpr int WSAENETUNREACH = 10051;
inline constexpr int WSAENETRESET = 10052;
inline constexpr int WSAECONNABORTED = 10053;
inline constexpr int WSAECONNRESET = 10054;
inline constexpr int WSAENOBUFS = 10055;
inline constexpr int WSAEISCONN = 10056;
inline constexpr int WSAENOTCONN = 10057;
inline constexpr int WSAESHUTDOWN = 10058;
inline constexpr int WSAETIMEDOUT = 10060;
inline constexpr int WSAECONNREFUSED = 10061;
inline constexpr int WSAEHOSTUNREACH = 10065;
inline constexpr int WSAVERNOTSUPPORTED = 10092;
inline constexpr int WSANOTINITIALISED = 10093;
inline constexpr int WSAHOST_NOT_FOUND = 11001;

// Starts the socket library for one more user: 0, or WSAVERNOTSUPPORTED
// for a version below 1.1. `data` may be null.
int WSAStartup(WORD versionRequested, WSADATA* data);
// Ends one user's start: 0, or SOCKET_ERROR when none is left.
int WSACleanup();
// Users of the socket library started now.
int WSAStartupCount();

// The calling thread's last socket error as a Winsock number (errno mapped;
// a number Winsock lacks is returned as it is).
int WSAGetLastError();
// The Winsock number of one errno value.
int WSAErrorFromErrno(int error);

int closesocket(SOCKET socket);

// Resolves dotted IPv4 text, else a host name through getaddrinfo (IPv4,
// first answer). True and the address in network order when resolved; text
// that cannot be a host name is not looked up.
bool resolveIPv4(const char* host, in_addr* address);

// Connects within `timeout`: 0, or SOCKET_ERROR with errno set (ETIMEDOUT
// when the time ran out). The socket keeps its blocking mode.
int connectWithTimeout(SOCKET socket, const sockaddr* address, socklen_t length,
                       std::chrono::milliseconds timeout);

// Waits up to `timeoutMs` (-1: without limit) for `events` on the socket:
// the events that occurred, 0 on time-out, -1 on error. Retries on EINTR.
int pollSocket(SOCKET socket, short events, int timeoutMs);

// send and sendto that report a lost peer as an error instead of a signal.
ssize_t sendNoSignal(SOCKET socket, const void* data, std::size_t length);
ssize_t sendToNoSignal(SOCKET socket, const void* data, std::size_t length, const sockaddr* to,
                       socklen_t toLength);
