// switchsim: plays the proxy switches of the fabrics in a fabric file.
//
//   switchsim <fabric-file> [--ignore-stdin]
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

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || (argc == 3 && std::strcmp(argv[2], "--ignore-stdin") != 0)) {
        std::cerr << "usage: switchsim <fabric-file> [--ignore-stdin]\n";
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
