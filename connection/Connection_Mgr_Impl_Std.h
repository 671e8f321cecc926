// The library's connection manager.
//
// Locks: the sessions lock guards the session counts, the tables lock the
// factories, the tables of pools and the record of loaned connections. The
// sessions lock comes before the tables lock, the tables lock before a
// table's lock; a pool's lock is taken only once the pool has been found
// and the manager's locks are released, so no manager lock is held while a
// factory makes or destroys a connection.
//
// A loaned connection is recorded with its pool, so it goes back to the
// pool it came from even after that pool was dropped with its proxy
// switch's last session; the dropped pool stays alive until then and
// destroys the connection when it returns.
#pragma once

#include "connection/ConnectionID.h"
#include "connection/Connection_Mgr_Ifc.h"
#include "connection/Proxy_Connection_List_Table.h"
#include "foundation/CVoskWaitMutex.h"
#include "foundation/IPAddress.h"

#include <map>
#include <memory>

class Connection_Mgr_Impl_Std : public Connection_Mgr_Ifc {
public:
    explicit Connection_Mgr_Impl_Std(int maxConnections);
    Connection_Mgr_Impl_Std(const Connection_Mgr_Impl_Std&) = delete;
    Connection_Mgr_Impl_Std& operator=(const Connection_Mgr_Impl_Std&) = delete;
    // Deletes every table; the pools destroy their connections.
    ~Connection_Mgr_Impl_Std() override;

    Fabric_Connection_Ifc* getConnection(const ConnectionDescriptor& descriptor,
                                         const ConnectionID& id) override;
    Fabric_Connection_Ifc* getConnection(const ConnectionDescriptor& descriptor) override;
    Fabric_Connection_Ifc* replaceConnection(Fabric_Connection_Ifc* connection,
                                             const ConnectionID& ignored) override;
    void returnConnection(Fabric_Connection_Ifc* connection) override;
    void sessionEstablished(ClientSession* session) override;
    // The proxy switch's last session ending destroys its pools.
    void sessionEnded(ClientSession* session) override;
    void addConnectionFactory(const ProtocolKey& key,
                              Fabric_Connection_Factory_Ifc* factory) override;

    // The descriptor's pool, made (with its table) on first use.
    std::shared_ptr<Proxy_Connection_List>
    getProxy_Connection_List(const ConnectionDescriptor& descriptor);

private:
    Proxy_Connection_List_Table*
    getProxy_Connection_List_Table(const ConnectionDescriptor& descriptor);
    std::shared_ptr<Proxy_Connection_List>
    findProxy_Connection_List(const ConnectionDescriptor& descriptor);
    // Takes a proxy switch's pools out of the manager; the caller deletes
    // them once it holds no manager lock.
    std::unique_ptr<Proxy_Connection_List_Table> detachTable(const IPAddress& host);
    void recordLoan(Fabric_Connection_Ifc* connection, std::shared_ptr<Proxy_Connection_List> pool);
    // The pool a connection was lent from (its record removed), else the
    // pool of its descriptor; null when there is none.
    std::shared_ptr<Proxy_Connection_List> takeLoan(Fabric_Connection_Ifc* connection);

    int maximum;
    ConnectionFactoryMap factories;
    std::map<IPAddress, std::unique_ptr<Proxy_Connection_List_Table>> tables;
    std::map<ConnectionID, std::shared_ptr<Proxy_Connection_List>> loans;
    std::map<IPAddress, int> sessionCounts;
    CVoskWaitMutex tablesLock;
    CVoskWaitMutex sessionsLock;
};

// Makes the process-wide manager (start-up passes 5) with the connection
// factories given, one per protocol key. Start-up passes the library's own:
// the RPC factory and the HTTP factory of the layer above.
void createConnectionManager(int maxConnections, const ConnectionFactoryMap& factories);
// The process-wide manager, or null outside start-up and shutdown.
Connection_Mgr_Ifc* getConnectionManager();
// Deletes the process-wide manager at shutdown.
void deleteConnectionManager();
