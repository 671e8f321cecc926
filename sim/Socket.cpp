#include "sim/Socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool readExactly(int fd, char* out, std::size_t count) {
    while (count > 0) {
        const ssize_t got = recv(fd, out, count, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        out += got;
        count -= static_cast<std::size_t>(got);
    }
    return true;
}

constexpr std::uint32_t kLastFragment = 0x80000000u;

} // namespace

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            close(fd_);
        }
        fd_ = other.release();
    }
    return *this;
}

Fd::~Fd() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

int Fd::release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

Fd bindLoopback(const std::string& address, std::uint16_t port, Transport transport) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &sa.sin_addr) != 1 ||
        (ntohl(sa.sin_addr.s_addr) >> 24) != 127) {
        throw std::runtime_error("not a loopback address: " + address);
    }
    const int type = transport == Transport::Tcp ? SOCK_STREAM : SOCK_DGRAM;
    Fd fd(socket(AF_INET, type | SOCK_CLOEXEC, 0));
    if (!fd) {
        throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    }
    const int on = 1;
    setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(fd.get(), reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        throw std::runtime_error("cannot bind " + address + ":" + std::to_string(port) + ": " +
                                 std::strerror(errno));
    }
    if (transport == Transport::Tcp && listen(fd.get(), 128) != 0) {
        throw std::runtime_error("cannot listen on " + address + ": " + std::strerror(errno));
    }
    return fd;
}

std::uint16_t boundPort(int fd) {
    sockaddr_in sa{};
    socklen_t length = sizeof sa;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &length) != 0) {
        return 0;
    }
    return ntohs(sa.sin_port);
}

std::string localAddressOf(int fd) {
    sockaddr_in sa{};
    socklen_t length = sizeof sa;
    char text[INET_ADDRSTRLEN] = {};
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &length) != 0 ||
        inet_ntop(AF_INET, &sa.sin_addr, text, sizeof text) == nullptr) {
        return {};
    }
    return text;
}

bool sendAll(int fd, std::span<const char> bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(sent));
    }
    return true;
}

std::optional<std::vector<char>> readRecord(int fd, std::size_t maxBytes) {
    std::vector<char> record;
    for (;;) {
        unsigned char header[4];
        if (!readExactly(fd, reinterpret_cast<char*>(header), sizeof header)) {
            return std::nullopt;
        }
        const std::uint32_t mark = (std::uint32_t{header[0]} << 24) |
                                   (std::uint32_t{header[1]} << 16) |
                                   (std::uint32_t{header[2]} << 8) | std::uint32_t{header[3]};
        const std::size_t length = mark & ~kLastFragment;
        if (length > maxBytes - record.size()) {
            return std::nullopt;
        }
        const std::size_t start = record.size();
        record.resize(start + length);
        if (!readExactly(fd, record.data() + start, length)) {
            return std::nullopt;
        }
        if (mark & kLastFragment) {
            return record;
        }
    }
}

bool writeRecord(int fd, std::span<const char> record) {
    std::vector<char> framed;
    framed.reserve(record.size() + 4);
    const std::uint32_t mark = kLastFragment | static_cast<std::uint32_t>(record.size());
    framed.push_back(static_cast<char>(mark >> 24));
    framed.push_back(static_cast<char>(mark >> 16));
    framed.push_back(static_cast<char>(mark >> 8));
    framed.push_back(static_cast<char>(mark));
    framed.insert(framed.end(), record.begin(), record.end());
    return sendAll(fd, framed);
}
