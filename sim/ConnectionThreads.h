// One thread per accepted connection. The thread runs its session on the
// socket; the socket stays owned here so that stopping can shut every
// connection down (waking blocked reads) before joining the threads.
#pragma once

#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "sim/Socket.h"

class ConnectionThreads {
public:
    using Session = std::function<void(int fd)>;

    ConnectionThreads() = default;
    ConnectionThreads(const ConnectionThreads&) = delete;
    ConnectionThreads& operator=(const ConnectionThreads&) = delete;
    ~ConnectionThreads() { stopAll(); }

    // Starts `session` on its own thread; also joins finished threads.
    void start(Fd socket, Session session);
    // Shuts every connection down and joins every thread.
    void stopAll();

private:
    struct Connection {
        Fd socket;
        std::thread thread;
        bool finished = false;
    };

    void reapFinished();

    std::mutex mutex_;
    std::list<std::unique_ptr<Connection>> connections_;
    bool stopping_ = false;
};
