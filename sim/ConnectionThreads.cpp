#include "sim/ConnectionThreads.h"

#include <sys/socket.h>

void ConnectionThreads::start(Fd socket, Session session) {
    reapFinished();
    std::scoped_lock lock(mutex_);
    if (stopping_) {
        return; // the socket closes here
    }
    auto connection = std::make_unique<Connection>();
    connection->socket = std::move(socket);
    Connection* raw = connection.get();
    raw->thread = std::thread([this, raw, session = std::move(session)] {
        session(raw->socket.get());
        // The peer sees the end at once; the descriptor closes when joined.
        shutdown(raw->socket.get(), SHUT_RDWR);
        std::scoped_lock done(mutex_);
        raw->finished = true;
    });
    connections_.push_back(std::move(connection));
}

void ConnectionThreads::reapFinished() {
    std::list<std::unique_ptr<Connection>> finished;
    {
        std::scoped_lock lock(mutex_);
        for (auto it = connections_.begin(); it != connections_.end();) {
            if ((*it)->finished) {
                finished.splice(finished.end(), connections_, it++);
            } else {
                ++it;
            }
        }
    }
    for (auto& connection : finished) {
        connection->thread.join();
    }
}

void ConnectionThreads::stopAll() {
    std::list<std::unique_ptr<Connection>> all;
    {
        std::scoped_lock lock(mutex_);
        stopping_ = true;
        for (auto& connection : connections_) {
            shutdown(connection->socket.get(), SHUT_RDWR);
        }
        all.swap(connections_);
    }
    for (auto& connection : all) {
        connection->thread.join();
    }
}
