// switchsim: plays the proxy switches of the fabrics in a fabric file.
//
//   switchsim <fabric-file> [--ignore-stdin]
//   switchsim --help
//
// Prints "serving <address> management <port>" per proxy address,
// "control 127.0.0.1 <port>" and "ready", then serves until SIGTERM,
// SIGINT or (unless --ignore-stdin) the end of standard input.
// Exit status: 0 stopped, 1 usage, 2 bad fabric file, 3 an address could
// not be bound.
#include <csignal>
#include <cstring>
#include <iostream>

#include "sim/Simulator.h"

namespace {

constexpr char kHelp[] = R"(usage: switchsim <fabric-file> [--ignore-stdin]
       switchsim --help

Plays the switches of the fabrics in a fabric file on loopback addresses:
the management program over TCP (found through the port mapper on port
111), the web pages on port 80, and the events sent to the listeners that
the library registers. Prints "serving <address> management <port>" for
each proxy address, "control 127.0.0.1 <port>" and "ready", then serves
until SIGTERM, SIGINT or, without --ignore-stdin, the end of standard input.
Ports 80 and 111 need root.

The fabric file (JSON):
  {"fabrics": [{"name": "A", "users": [{"name": "admin", "password": "..."}],
                "switches": [{"wwn": "10:00:00:60:69:00:00:01", "name": "core-1",
                              "firmware": "v4.1.0", "address": "127.20.0.1"}, ...],
                "shape": {...}, "zoning": {...}, "nameServer": [...], "isls": [...]}],
   "generate": {...}, "unservedAddresses": ["127.20.0.9"], "faults": [...]}
  A switch with an "address" is a proxy switch served there (127.0.0.0/8
  only). Every other field of a switch or fabric is read by the request that
  answers from it (the notes of sim/FabricModel.h, sim/handlers/ and
  sim/FabricServices.h name them).

"shape" lays a real SAN over a fabric's switches; keys and defaults:
  "portsPerSwitch": 32     ports of a switch (2 to 240; a core has room for
                           every link too)
  "portModules": 2         port-module ranges per switch (1 to 8); switch n's
                           first module is n % 3
  "devicesPerSwitch": 4    attached hosts and storage, in turn (0 to 64)
  "cores": 2               core switches; each edge switch links to each core
  "zoning": true           a zone per host and storage, an alias per host,
                           one active zone set
What the file states itself is kept.

"generate" makes fabrics of numbered switches, each with a shape:
  "fabrics", "switchesPerFabric", "addresses" (one proxy address a fabric),
  "firmware" (default v4.1.0), "users", and the "shape" keys above.

Faults (the "faults" list, or the control channel's "inject"), per address,
procedure and request code: {"address", "procedure", "code", "kind",
"status", "delayMs", "count"}; kinds "status", "delay", "noReply", "close",
"malformed", "leaveJoin" ("switch", "absentMs") and "bytes" ("replyHex": the
result bytes to answer with).

The control channel (one JSON object a line on the printed control port):
  ping, inject, clearFaults, faults, counters, resetCounters, state,
  zoning, source, moveSwitch, setSwitchFields ({"op": "<name>", ...}).

Exit status: 0 stopped, 1 usage, 2 bad fabric file, 3 an address could not
be bound.
)";

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::cout << kHelp;
        return 0;
    }
    if (argc < 2 || argc > 3 || (argc == 3 && std::strcmp(argv[2], "--ignore-stdin") != 0)) {
        std::cerr << "usage: switchsim <fabric-file> [--ignore-stdin]\n"
                     "       switchsim --help\n";
        return 1;
    }
    // Stop signals arrive through a signalfd; every thread inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::unique_ptr<Simulator> simulator;
    try {
        simulator = std::make_unique<Simulator>(FabricModel::fromFile(argv[1]));
    } catch (const std::exception& e) {
        std::cerr << "switchsim: " << e.what() << "\n";
        return 2;
    }
    try {
        simulator->bind();
    } catch (const std::exception& e) {
        std::cerr << "switchsim: " << e.what() << "\n";
        return 3;
    }
    simulator->run(std::cout, argc == 2);
    return 0;
}
