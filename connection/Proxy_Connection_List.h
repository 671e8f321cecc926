// The pool of connections to one proxy switch over one protocol.
//
// It holds at most a fixed number of connections, hands out the most
// recently returned idle one first, makes a new one while it is below its
// limit and otherwise makes the caller wait until one comes back. Every
// operation runs under the pool's own lock, which is also held while the
// factory makes or destroys a connection, so a slow connect holds back only
// the users of this pool.
//
// A pool can be closed (its proxy switch's last session ended): it then
// destroys its idle connections, wakes its waiters, who get null, hands out
// nothing more and destroys each loaned connection when it comes back.
#pragma once

#include "connection/ConnectionID.h"
#include "foundation/CVoskWaitMutex.h"

#include <map>
#include <vector>

class ConnectionDescriptor;
class Fabric_Connection_Factory_Ifc;
class Fabric_Connection_Ifc;

class Proxy_Connection_List {
public:
    Proxy_Connection_List(int maxConnections, Fabric_Connection_Factory_Ifc* factory);
    Proxy_Connection_List(const Proxy_Connection_List&) = delete;
    Proxy_Connection_List& operator=(const Proxy_Connection_List&) = delete;
    // Destroys every connection still held, idle or in use.
    virtual ~Proxy_Connection_List();

    virtual int idleCount();
    virtual int inUseCount();
    virtual int totalCount();
    virtual int maxConnections();
    // Takes a connection back and wakes every waiter.
    virtual void returnConnection(Fabric_Connection_Ifc* connection);
    // The idle connection with this identity; waits while it is in use;
    // null when the pool does not hold it or is closed.
    virtual Fabric_Connection_Ifc* getConnection(const ConnectionDescriptor& descriptor,
                                                 const ConnectionID& id);
    // An idle or new connection, waiting while the pool is full; null when
    // the pool is closed. The factory's failure passes to the caller.
    virtual Fabric_Connection_Ifc* getConnection(const ConnectionDescriptor& descriptor);
    // Destroys a broken connection that is in use and hands out another.
    virtual Fabric_Connection_Ifc* replaceConnection(Fabric_Connection_Ifc* connection,
                                                     const ConnectionID& ignored);

    // Destroys the idle connections, wakes the waiters and stops lending.
    void close();

private:
    Fabric_Connection_Ifc* lend(Fabric_Connection_Ifc* connection);
    bool isIdle(const Fabric_Connection_Ifc* connection) const;

    int maximum;
    Fabric_Connection_Factory_Ifc* factory;
    std::vector<Fabric_Connection_Ifc*> idle; // a stack: last returned on top
    std::map<ConnectionID, Fabric_Connection_Ifc*> inUse;
    bool closed = false;
    CVoskWaitMutex waitMutex;
};
