// A small web server for the HTTP client's tests: it listens on a fresh
// loopback address and answers each connection as its mode says.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <mutex>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

class TestPageServer {
public:
    enum class Mode {
        AnswerAndClose,    // answer, then close
        AnswerAndKeepOpen, // answer, then keep the connection open
        Silent,            // accept, then send nothing and keep it open
    };

    // Answer text for a request text.
    using Handler = std::function<std::string(const std::string& request)>;

    // Listens on `port` (0: any) of a random 127.x.y.z address.
    explicit TestPageServer(int port, Handler handler = {}, Mode mode = Mode::AnswerAndClose)
        : handler_(std::move(handler)), mode_(mode) {
        std::random_device seed;
        std::mt19937 random(seed());
        for (int attempt = 0; attempt < 50 && listener_ < 0; ++attempt) {
            const unsigned host = 0x7F000000u | (1u + random() % 0xFFFFFDu);
            listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
            int yes = 1;
            ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(host);
            address.sin_port = htons(static_cast<uint16_t>(port));
            if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
                ::listen(listener_, 16) != 0) {
                ::close(listener_);
                listener_ = -1;
                continue;
            }
            socklen_t length = sizeof address;
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
            port_ = ntohs(address.sin_port);
            char text[INET_ADDRSTRLEN] = {};
            ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
            address_ = text;
        }
        if (listener_ < 0) {
            throw std::runtime_error("no loopback address to listen on");
        }
        thread_ = std::thread([this] { serve(); });
    }

    ~TestPageServer() {
        stop_ = true;
        thread_.join();
        for (int connection : open_) {
            ::close(connection);
        }
        ::close(listener_);
    }

    const std::string& address() const { return address_; }
    int port() const { return port_; }
    int connections() const { return connections_; }
    std::vector<std::string> requests() {
        std::lock_guard<std::mutex> guard(mutex_);
        return requests_;
    }

private:
    void serve() {
        while (!stop_) {
            pollfd waiting{listener_, POLLIN, 0};
            if (::poll(&waiting, 1, 20) <= 0) {
                continue;
            }
            const int connection = ::accept(listener_, nullptr, nullptr);
            if (connection < 0) {
                continue;
            }
            ++connections_;
            if (mode_ == Mode::Silent) {
                open_.push_back(connection);
                continue;
            }
            const std::string request = readRequest(connection);
            {
                std::lock_guard<std::mutex> guard(mutex_);
                requests_.push_back(request);
            }
            const std::string answer = handler_ ? handler_(request) : std::string();
            std::size_t sent = 0;
            while (sent < answer.size()) {
                const ssize_t count =
                    ::send(connection, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
                if (count <= 0) {
                    break;
                }
                sent += static_cast<std::size_t>(count);
            }
            if (mode_ == Mode::AnswerAndKeepOpen) {
                open_.push_back(connection);
            } else {
                ::close(connection);
            }
        }
    }

    // The request up to its empty line, waiting at most two seconds.
    std::string readRequest(int connection) {
        std::string request;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos &&
               std::chrono::steady_clock::now() < deadline) {
            pollfd waiting{connection, POLLIN, 0};
            if (::poll(&waiting, 1, 50) <= 0) {
                continue;
            }
            const ssize_t count = ::recv(connection, buffer, sizeof buffer, 0);
            if (count <= 0) {
                break;
            }
            request.append(buffer, static_cast<std::size_t>(count));
        }
        return request;
    }

    Handler handler_;
    Mode mode_;
    int listener_ = -1;
    int port_ = 0;
    std::string address_;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::vector<int> open_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};
