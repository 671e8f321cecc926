#include "connection/Proxy_Connection_List.h"

#include "connection/ConnectionDescriptor.h"
#include "connection/Fabric_Connection_Factory_Ifc.h"
#include "connection/Fabric_Connection_Ifc.h"
#include "foundation/LockGuard.h"

#include <algorithm>

Proxy_Connection_List::Proxy_Connection_List(int maxConnections,
                                             Fabric_Connection_Factory_Ifc* factory)
    : maximum(maxConnections), factory(factory), waitMutex(LockRank::ConnectionPool) {}

Proxy_Connection_List::~Proxy_Connection_List() {
    LockGuard guard(&waitMutex);
    for (Fabric_Connection_Ifc* connection : idle) {
        factory->destroyFabricConnection(connection);
    }
    for (auto& [id, connection] : inUse) {
        factory->destroyFabricConnection(connection);
    }
    idle.clear();
    inUse.clear();
}

int Proxy_Connection_List::idleCount() {
    LockGuard guard(&waitMutex);
    return static_cast<int>(idle.size());
}

int Proxy_Connection_List::inUseCount() {
    LockGuard guard(&waitMutex);
    return static_cast<int>(inUse.size());
}

int Proxy_Connection_List::totalCount() {
    LockGuard guard(&waitMutex);
    return static_cast<int>(idle.size() + inUse.size());
}

int Proxy_Connection_List::maxConnections() {
    return maximum;
}

void Proxy_Connection_List::returnConnection(Fabric_Connection_Ifc* connection) {
    if (connection == nullptr) {
        return;
    }
    LockGuard guard(&waitMutex);
    const bool wasInUse = inUse.erase(ConnectionID(connection)) > 0;
    if (closed) {
        if (wasInUse) {
            factory->destroyFabricConnection(connection);
        }
    } else if (!isIdle(connection)) {
        // A connection given back twice must not be lent to two callers.
        idle.push_back(connection);
    }
    waitMutex.broadcast();
}

Fabric_Connection_Ifc* Proxy_Connection_List::getConnection(const ConnectionDescriptor&,
                                                            const ConnectionID& id) {
    LockGuard guard(&waitMutex);
    for (;;) {
        if (closed) {
            return nullptr;
        }
        auto found = std::find_if(idle.begin(), idle.end(),
                                  [&](Fabric_Connection_Ifc* c) { return ConnectionID(c) == id; });
        if (found != idle.end()) {
            Fabric_Connection_Ifc* connection = *found;
            idle.erase(found);
            return lend(connection);
        }
        if (inUse.find(id) == inUse.end()) {
            return nullptr;
        }
        waitMutex.wait();
    }
}

Fabric_Connection_Ifc*
Proxy_Connection_List::getConnection(const ConnectionDescriptor& descriptor) {
    LockGuard guard(&waitMutex);
    for (;;) {
        if (closed) {
            return nullptr;
        }
        if (!idle.empty()) {
            Fabric_Connection_Ifc* connection = idle.back();
            idle.pop_back();
            return lend(connection);
        }
        if (static_cast<int>(idle.size() + inUse.size()) < maximum) {
            // A factory failure leaves by exception with nothing entered.
            Fabric_Connection_Ifc* connection = factory->createFabricConnection(descriptor);
            return connection != nullptr ? lend(connection) : nullptr;
        }
        waitMutex.wait();
    }
}

Fabric_Connection_Ifc* Proxy_Connection_List::replaceConnection(Fabric_Connection_Ifc* connection,
                                                                const ConnectionID&) {
    if (connection == nullptr) {
        return nullptr;
    }
    const ConnectionDescriptor descriptor = connection->getConnectionDescriptor();
    {
        LockGuard guard(&waitMutex);
        if (inUse.erase(ConnectionID(connection)) > 0) {
            factory->destroyFabricConnection(connection);
            // Room was made: a waiter may now make a connection of its own.
            waitMutex.broadcast();
        }
    }
    return getConnection(descriptor);
}

void Proxy_Connection_List::close() {
    LockGuard guard(&waitMutex);
    closed = true;
    for (Fabric_Connection_Ifc* connection : idle) {
        factory->destroyFabricConnection(connection);
    }
    idle.clear();
    waitMutex.broadcast();
}

Fabric_Connection_Ifc* Proxy_Connection_List::lend(Fabric_Connection_Ifc* connection) {
    inUse.emplace(ConnectionID(connection), connection);
    return connection;
}

bool Proxy_Connection_List::isIdle(const Fabric_Connection_Ifc* connection) const {
    return std::find(idle.begin(), idle.end(), connection) != idle.end();
}
