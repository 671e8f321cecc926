// The simulator process: serves every proxy address of the model (the
// management program over TCP on an ephemeral port, rpcbind on port 111
// over TCP and UDP, the web pages on port 80) and the control channel on
// 127.0.0.1, until SIGTERM, SIGINT or the end of standard input.
#pragma once

#include <atomic>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "sim/ConnectionThreads.h"
#include "sim/ControlChannel.h"
#include "sim/HttpServer.h"
#include "sim/ManagementProgram.h"
#include "sim/PortMapper.h"
#include "sim/Socket.h"

class Simulator {
public:
    explicit Simulator(FabricModel model);

    // Binds every address; throws std::runtime_error naming the one that failed.
    void bind(std::uint16_t portmapperPort = 111);
    // Announces the ports and "ready" on `out`, then serves until stopped.
    // With `watchStdin` the end of standard input stops it too.
    void run(std::ostream& out, bool watchStdin);

private:
    enum class Role { Management, PortMapperTcp, PortMapperUdp, Control, Http };
    struct Listener {
        Fd socket;
        Role role;
        std::string address;
    };

    void accept(const Listener& listener);
    void answerDatagram(const Listener& listener);
    void serveRpc(int fd, Role role, const std::string& address);

    SimulatorState state_;
    PortMapper portMapper_;
    ManagementProgram program_{state_};
    ControlChannel control_{state_};
    HttpServer http_{state_};
    std::vector<Listener> listeners_;
    ConnectionThreads connections_;
    std::atomic<std::uint64_t> connectionCount_{0};
};
