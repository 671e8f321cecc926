// The pools of one proxy switch, one per protocol, made on first request.
#pragma once

#include "connection/ProtocolKey.h"
#include "foundation/CVoskWaitMutex.h"

#include <map>
#include <memory>

class Fabric_Connection_Factory_Ifc;
class Proxy_Connection_List;

// The connection manager's factories by protocol.
using ConnectionFactoryMap = std::map<ProtocolKey, Fabric_Connection_Factory_Ifc*>;

class Proxy_Connection_List_Table {
public:
    // `factories` is the manager's map, read under the manager's tables
    // lock, which every caller of getList holds.
    Proxy_Connection_List_Table(int maxConnections, const ConnectionFactoryMap* factories);
    Proxy_Connection_List_Table(const Proxy_Connection_List_Table&) = delete;
    Proxy_Connection_List_Table& operator=(const Proxy_Connection_List_Table&) = delete;
    // Closes every pool. A pool lives on while one of its connections is on
    // loan (the manager holds it) and frees that connection when it returns.
    // Destroys idle connections, so it runs with no manager lock held.
    virtual ~Proxy_Connection_List_Table();

    // The factory of the key, or null.
    virtual Fabric_Connection_Factory_Ifc* findFactory(const ProtocolKey& key);

    // The pool of the key, made on first use. Throws ConnectionException
    // "Unable to locate appropriate connection factory." (2000) when no
    // factory serves the key.
    std::shared_ptr<Proxy_Connection_List> getList(const ProtocolKey& key);
    // The pool of the key, or null when none has been made.
    std::shared_ptr<Proxy_Connection_List> findList(const ProtocolKey& key);

private:
    int maximum;
    const ConnectionFactoryMap* factories;
    std::map<ProtocolKey, std::shared_ptr<Proxy_Connection_List>> lists;
    CVoskWaitMutex waitMutex;
};
