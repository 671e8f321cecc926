#include "sim/Simulator.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Longest RPC record accepted from a client (firmware chunks and member
// lists are far smaller); a longer one closes the connection.
constexpr std::size_t kMaxRecord = 8u << 20;
constexpr std::size_t kMaxDatagram = 65536;

} // namespace

Simulator::Simulator(FabricModel model) {
    for (const auto& description : model.faults()) {
        state_.faults.add(Fault::fromJson(description));
    }
    state_.model = std::move(model);
}

void Simulator::bind(std::uint16_t portmapperPort) {
    for (const auto& address : state_.model.proxyAddresses()) {
        Fd management = bindLoopback(address, 0, Transport::Tcp);
        Fd rpcbindTcp = bindLoopback(address, portmapperPort, Transport::Tcp);
        Fd rpcbindUdp = bindLoopback(address, portmapperPort, Transport::Udp);
        portMapper_.registerRpcbind(address, boundPort(rpcbindTcp.get()),
                                    boundPort(rpcbindUdp.get()));
        portMapper_.registerManagement(address, boundPort(management.get()));
        listeners_.push_back({std::move(management), Role::Management, address});
        listeners_.push_back({std::move(rpcbindTcp), Role::PortMapperTcp, address});
        listeners_.push_back({std::move(rpcbindUdp), Role::PortMapperUdp, address});
        listeners_.push_back({bindLoopback(address, 80, Transport::Tcp), Role::Http, address});
    }
    listeners_.push_back(
        {bindLoopback("127.0.0.1", 0, Transport::Tcp), Role::Control, "127.0.0.1"});
}

void Simulator::run(std::ostream& out, bool watchStdin) {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    Fd signals(signalfd(-1, &stopSignals, SFD_CLOEXEC));
    if (!signals) {
        throw std::runtime_error("signalfd failed");
    }

    for (const auto& listener : listeners_) {
        if (listener.role == Role::Management) {
            out << "serving " << listener.address << " management "
                << boundPort(listener.socket.get()) << "\n";
        } else if (listener.role == Role::Control) {
            out << "control " << listener.address << " " << boundPort(listener.socket.get())
                << "\n";
        }
    }
    out << "ready" << std::endl;

    std::vector<pollfd> watched;
    for (const auto& listener : listeners_) {
        watched.push_back({listener.socket.get(), POLLIN, 0});
    }
    const std::size_t signalSlot = watched.size();
    watched.push_back({signals.get(), POLLIN, 0});
    watched.push_back({watchStdin ? STDIN_FILENO : -1, POLLIN, 0});

    while (!state_.stop.raised()) {
        if (poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (watched[signalSlot].revents != 0) {
            break;
        }
        if (watched[signalSlot + 1].revents != 0) {
            char buffer[256];
            const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
            if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) {
                break;
            }
        }
        for (std::size_t i = 0; i < listeners_.size(); ++i) {
            if (watched[i].revents == 0) {
                continue;
            }
            if (listeners_[i].role == Role::PortMapperUdp) {
                answerDatagram(listeners_[i]);
            } else {
                accept(listeners_[i]);
            }
        }
    }
    state_.stop.raise();
    connections_.stopAll();
}

void Simulator::accept(const Listener& listener) {
    Fd connection(accept4(listener.socket.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!connection) {
        return; // the client gave up already, or descriptors ran out
    }
    const Role role = listener.role;
    const std::string address = listener.address;
    connections_.start(std::move(connection), [this, role, address](int fd) {
        if (role == Role::Control) {
            control_.serve(fd);
        } else if (role == Role::Http) {
            http_.serve(fd, address);
        } else {
            serveRpc(fd, role, address);
        }
    });
}

void Simulator::serveRpc(int fd, Role role, const std::string& address) {
    // Zoning transactions belong to the connection that started them.
    const std::uint64_t connection = ++connectionCount_;
    struct ClosedAtEnd {
        ManagementProgram& program;
        std::uint64_t connection;
        ~ClosedAtEnd() { program.connectionClosed(connection); }
    } closedAtEnd{program_, connection};
    while (!state_.stop.raised()) {
        auto record = readRecord(fd, kMaxRecord);
        if (!record) {
            return;
        }
        auto call = decodeCall(*record);
        if (!call) {
            return; // not an RPC call: nothing sensible to answer
        }
        if (call->rpcVersion != 2) {
            if (!writeRecord(fd, rpcMismatchReply(call->xid))) {
                return;
            }
            continue;
        }
        if (role == Role::PortMapperTcp) {
            auto reply = portMapper_.handle(address, *call);
            if (reply && !writeRecord(fd, *reply)) {
                return;
            }
            continue;
        }
        RpcOutcome outcome = program_.handle(address, *call, connection);
        if (outcome.action == RpcOutcome::Action::Close) {
            return;
        }
        if (outcome.action == RpcOutcome::Action::Reply && !writeRecord(fd, outcome.reply)) {
            return;
        }
    }
}

void Simulator::answerDatagram(const Listener& listener) {
    std::vector<char> buffer(kMaxDatagram);
    sockaddr_in peer{};
    socklen_t peerLength = sizeof peer;
    const ssize_t got = recvfrom(listener.socket.get(), buffer.data(), buffer.size(), MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&peer), &peerLength);
    if (got <= 0) {
        return;
    }
    auto call = decodeCall(std::span<const char>(buffer.data(), static_cast<std::size_t>(got)));
    if (!call) {
        return;
    }
    auto reply = portMapper_.handle(listener.address, *call);
    if (reply) {
        sendto(listener.socket.get(), reply->data(), reply->size(), MSG_DONTWAIT,
               reinterpret_cast<sockaddr*>(&peer), peerLength);
    }
}
