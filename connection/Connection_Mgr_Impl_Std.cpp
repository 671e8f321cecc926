#include "connection/Connection_Mgr_Impl_Std.h"

#include "connection/ConnectionDescriptor.h"
#include "connection/FabricProxyEntry.h"
#include "connection/Fabric_Connection_Ifc.h"
#include "connection/Proxy_Connection_List.h"
#include "connection/SessionHooks.h"
#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"

#include <utility>

namespace {

constexpr const char kSourceFile[] = "Connection_Mgr_Impl_Std";

void traceConnectionMgr(const char* message, const char* method, const char* argument,
                        int line = __builtin_LINE()) noexcept {
    traceRecord(Vosk_ConnectionMgr, message, method, argument, kSourceFile, line);
}

// "Entering " when a manager operation starts, "Exiting " when it leaves.
class ManagerTrace : public MethodTrace {
public:
    explicit ManagerTrace(const char* method, int line = __builtin_LINE())
        : MethodTrace(Vosk_ConnectionMgr, method, kSourceFile, line) {}
};

} // namespace

Connection_Mgr_Impl_Std::Connection_Mgr_Impl_Std(int maxConnections)
    : maximum(maxConnections), tablesLock(LockRank::ConnectionManager),
      sessionsLock(LockRank::ConnectionManager) {}

Connection_Mgr_Impl_Std::~Connection_Mgr_Impl_Std() {
    // Closing the pools first destroys their idle connections; dropping the
    // loan records then frees the pools with whatever they still lend.
    tables.clear();
    loans.clear();
}

Fabric_Connection_Ifc*
Connection_Mgr_Impl_Std::getConnection(const ConnectionDescriptor& descriptor,
                                       const ConnectionID& id) {
    static const char kMethod[] = "Connection_Mgr_Impl_Std::getConnection";
    ManagerTrace trace(kMethod);
    std::shared_ptr<Proxy_Connection_List> pool = findProxy_Connection_List(descriptor);
    if (pool == nullptr) {
        traceConnectionMgr("Method error: unable to get connection is method: "
                           "Connection_Mgr_Impl_Std::getConnection",
                           kMethod, "");
        return nullptr;
    }
    Fabric_Connection_Ifc* connection = pool->getConnection(descriptor, id);
    if (connection != nullptr) {
        recordLoan(connection, std::move(pool));
    }
    return connection;
}

Fabric_Connection_Ifc*
Connection_Mgr_Impl_Std::getConnection(const ConnectionDescriptor& descriptor) {
    static const char kMethod[] = "Connection_Mgr_Impl_Std::getConnection";
    ManagerTrace trace(kMethod);
    std::shared_ptr<Proxy_Connection_List> pool = getProxy_Connection_List(descriptor);
    // The pool is used with no manager lock held: a wait or a slow connect
    // holds back only this pool's users.
    Fabric_Connection_Ifc* connection = pool->getConnection(descriptor);
    if (connection == nullptr) {
        traceConnectionMgr("Exiting method: Unable to get connection for given parameters.",
                           kMethod, "");
        return nullptr;
    }
    recordLoan(connection, std::move(pool));
    return connection;
}

Fabric_Connection_Ifc* Connection_Mgr_Impl_Std::replaceConnection(Fabric_Connection_Ifc* connection,
                                                                  const ConnectionID& ignored) {
    ManagerTrace trace("Connection_Mgr_Impl_Std::replaceConnection");
    if (connection == nullptr) {
        return nullptr;
    }
    std::shared_ptr<Proxy_Connection_List> pool = takeLoan(connection);
    if (pool == nullptr) {
        return nullptr;
    }
    Fabric_Connection_Ifc* fresh = pool->replaceConnection(connection, ignored);
    if (fresh != nullptr) {
        recordLoan(fresh, std::move(pool));
    }
    return fresh;
}

void Connection_Mgr_Impl_Std::returnConnection(Fabric_Connection_Ifc* connection) {
    static const char kMethod[] = "Connection_Mgr_Impl_Std::returnConnection";
    ManagerTrace trace(kMethod);
    std::shared_ptr<Proxy_Connection_List> pool =
        connection != nullptr ? takeLoan(connection) : nullptr;
    if (pool == nullptr) {
        traceConnectionMgr("Method error: NULL Connection passed to method: "
                           "Connection_Mgr_Impl_Std::returnConnection",
                           kMethod, "NULL");
        return;
    }
    pool->returnConnection(connection);
}

void Connection_Mgr_Impl_Std::sessionEstablished(ClientSession* session) {
    ManagerTrace trace("Connection_Mgr_Impl_Std::sessionEstablished");
    const IPAddress host = sessionHooks().proxyHost(session);
    LockGuard guard(&sessionsLock);
    ++sessionCounts[host];
}

void Connection_Mgr_Impl_Std::sessionEnded(ClientSession* session) {
    ManagerTrace trace("Connection_Mgr_Impl_Std::sessionEnded");
    const IPAddress host = sessionHooks().proxyHost(session);
    std::unique_ptr<Proxy_Connection_List_Table> dropped;
    {
        LockGuard guard(&sessionsLock);
        auto count = sessionCounts.find(host);
        if (count == sessionCounts.end()) {
            return;
        }
        if (count->second-- <= 1) {
            sessionCounts.erase(count);
            dropped = detachTable(host);
        }
    }
    // Closing the pools destroys idle connections: no manager lock held.
    dropped.reset();
}

void Connection_Mgr_Impl_Std::addConnectionFactory(const ProtocolKey& key,
                                                   Fabric_Connection_Factory_Ifc* factory) {
    ManagerTrace trace("Connection_Mgr_Impl_Std::addConnectionFactory");
    LockGuard guard(&tablesLock);
    factories.insert_or_assign(key, factory);
}

std::shared_ptr<Proxy_Connection_List>
Connection_Mgr_Impl_Std::getProxy_Connection_List(const ConnectionDescriptor& descriptor) {
    ManagerTrace trace("Connection_Mgr_Impl_Std::getProxy_Connection_List");
    LockGuard guard(&tablesLock);
    return getProxy_Connection_List_Table(descriptor)->getList(descriptor.getProtocolKey());
}

Proxy_Connection_List_Table*
Connection_Mgr_Impl_Std::getProxy_Connection_List_Table(const ConnectionDescriptor& descriptor) {
    ManagerTrace trace("Connection_Mgr_Impl_Std::getProxy_Connection_List_Table");
    LockGuard guard(&tablesLock);
    std::unique_ptr<Proxy_Connection_List_Table>& table =
        tables[descriptor.getProxyEntry().getHost()];
    if (table == nullptr) {
        table = std::make_unique<Proxy_Connection_List_Table>(maximum, &factories);
    }
    return table.get();
}

std::shared_ptr<Proxy_Connection_List>
Connection_Mgr_Impl_Std::findProxy_Connection_List(const ConnectionDescriptor& descriptor) {
    LockGuard guard(&tablesLock);
    auto table = tables.find(descriptor.getProxyEntry().getHost());
    if (table == tables.end()) {
        return nullptr;
    }
    return table->second->findList(descriptor.getProtocolKey());
}

std::unique_ptr<Proxy_Connection_List_Table>
Connection_Mgr_Impl_Std::detachTable(const IPAddress& host) {
    LockGuard guard(&tablesLock);
    std::unique_ptr<Proxy_Connection_List_Table> detached;
    auto table = tables.find(host);
    if (table != tables.end()) {
        detached = std::move(table->second);
        tables.erase(table);
    }
    return detached;
}

void Connection_Mgr_Impl_Std::recordLoan(Fabric_Connection_Ifc* connection,
                                         std::shared_ptr<Proxy_Connection_List> pool) {
    LockGuard guard(&tablesLock);
    loans.insert_or_assign(ConnectionID(connection), std::move(pool));
}

std::shared_ptr<Proxy_Connection_List>
Connection_Mgr_Impl_Std::takeLoan(Fabric_Connection_Ifc* connection) {
    {
        LockGuard guard(&tablesLock);
        auto loan = loans.find(ConnectionID(connection));
        if (loan != loans.end()) {
            std::shared_ptr<Proxy_Connection_List> pool = std::move(loan->second);
            loans.erase(loan);
            return pool;
        }
    }
    return findProxy_Connection_List(connection->getConnectionDescriptor());
}

namespace {

CVoskWaitMutex& creationLock() {
    static CVoskWaitMutex lock(LockRank::ConnectionManager);
    return lock;
}

Connection_Mgr_Ifc* theManager = nullptr;

} // namespace

void createConnectionManager(int maxConnections, const ConnectionFactoryMap& factories) {
    auto manager = std::make_unique<Connection_Mgr_Impl_Std>(maxConnections);
    for (const auto& [key, factory] : factories) {
        manager->addConnectionFactory(key, factory);
    }
    std::unique_ptr<Connection_Mgr_Ifc> previous;
    {
        LockGuard guard(&creationLock());
        previous.reset(theManager);
        theManager = manager.release();
    }
    // A manager left over from an earlier start-up goes with its pools.
    previous.reset();
}

Connection_Mgr_Ifc* getConnectionManager() {
    LockGuard guard(&creationLock());
    return theManager;
}

void deleteConnectionManager() {
    std::unique_ptr<Connection_Mgr_Ifc> doomed;
    {
        LockGuard guard(&creationLock());
        doomed.reset(theManager);
        theManager = nullptr;
    }
    doomed.reset();
}
