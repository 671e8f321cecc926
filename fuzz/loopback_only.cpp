// Keeps a fuzz run on loopback: request documents name switches by address
// or host name, and a fuzzer writes any address it likes. Linked into the
// targets whose inputs reach the network, these definitions take the place
// of the C library's: host names are not looked up, and a connection or a
// datagram to an address outside 127.0.0.0/8 (or ::1) fails as unreachable.
#include <dlfcn.h>
#include <netdb.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cerrno>
#include <cstring>

namespace {

bool onLoopback(const sockaddr* address, socklen_t length) {
    if (address == nullptr) {
        return true; // a connected socket's own peer
    }
    if (address->sa_family == AF_UNIX || address->sa_family == AF_UNSPEC) {
        return true;
    }
    if (address->sa_family == AF_INET && length >= sizeof(sockaddr_in)) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(address);
        return (ntohl(in->sin_addr.s_addr) >> 24) == 127;
    }
    if (address->sa_family == AF_INET6 && length >= sizeof(sockaddr_in6)) {
        const in6_addr& a = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
        return IN6_IS_ADDR_LOOPBACK(&a) || (IN6_IS_ADDR_V4MAPPED(&a) && a.s6_addr[12] == 127);
    }
    return false;
}

using GetAddrInfo = int (*)(const char*, const char*, const addrinfo*, addrinfo**);

} // namespace

extern "C" int connect(int socket, const sockaddr* address, socklen_t length) {
    if (!onLoopback(address, length)) {
        errno = ENETUNREACH;
        return -1;
    }
    return static_cast<int>(syscall(SYS_connect, socket, address, length));
}

extern "C" ssize_t sendto(int socket, const void* data, size_t size, int flags,
                          const sockaddr* address, socklen_t length) {
    if (!onLoopback(address, length)) {
        errno = ENETUNREACH;
        return -1;
    }
    return syscall(SYS_sendto, socket, data, size, flags, address, length);
}

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints,
                           addrinfo** result) {
    static const auto real = reinterpret_cast<GetAddrInfo>(dlsym(RTLD_NEXT, "getaddrinfo"));
    if (real == nullptr) {
        return EAI_FAIL;
    }
    addrinfo numeric{};
    if (hints != nullptr) {
        numeric = *hints;
    }
    numeric.ai_flags |= AI_NUMERICHOST; // no lookup leaves the machine
    return real(node, service, &numeric, result);
}
