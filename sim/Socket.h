// Small socket helpers: an owning descriptor, loopback listeners, and the
// TCP record marking of ONC RPC (RFC 1831, section 10).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Owns one file descriptor.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(other.release()) {}
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd();

    int get() const { return fd_; }
    int release();
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

enum class Transport { Tcp, Udp };

// Binds `address:port` (port 0: an ephemeral one); a TCP socket listens.
// Only 127.0.0.0/8 addresses are accepted. Throws std::runtime_error.
Fd bindLoopback(const std::string& address, std::uint16_t port, Transport transport);
std::uint16_t boundPort(int fd);
// The local address of a connected or bound socket, as dotted text.
std::string localAddressOf(int fd);

// Sends all bytes (MSG_NOSIGNAL); false when the peer is gone.
bool sendAll(int fd, std::span<const char> bytes);

// Reads one record of fragments; nothing on end of stream, error, or a
// record longer than `maxBytes`.
std::optional<std::vector<char>> readRecord(int fd, std::size_t maxBytes);
// Writes `record` as one last fragment.
bool writeRecord(int fd, std::span<const char> record);
