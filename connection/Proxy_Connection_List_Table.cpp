#include "connection/Proxy_Connection_List_Table.h"

#include "connection/Proxy_Connection_List.h"
#include "foundation/APIException.h"
#include "foundation/LockGuard.h"

namespace {
constexpr int kNoFactoryCode = 2000;
}

Proxy_Connection_List_Table::Proxy_Connection_List_Table(int maxConnections,
                                                         const ConnectionFactoryMap* factories)
    : maximum(maxConnections), factories(factories), waitMutex(LockRank::ConnectionManager) {}

Proxy_Connection_List_Table::~Proxy_Connection_List_Table() {
    for (auto& [key, list] : lists) {
        list->close();
    }
}

Fabric_Connection_Factory_Ifc* Proxy_Connection_List_Table::findFactory(const ProtocolKey& key) {
    auto found = factories->find(key);
    return found != factories->end() ? found->second : nullptr;
}

std::shared_ptr<Proxy_Connection_List>
Proxy_Connection_List_Table::getList(const ProtocolKey& key) {
    LockGuard guard(&waitMutex);
    auto found = lists.find(key);
    if (found != lists.end()) {
        return found->second;
    }
    Fabric_Connection_Factory_Ifc* factory = findFactory(key);
    if (factory == nullptr) {
        throw ConnectionException("Unable to locate appropriate connection factory.",
                                  kNoFactoryCode);
    }
    auto list = std::make_shared<Proxy_Connection_List>(maximum, factory);
    lists.emplace(key, list);
    return list;
}

std::shared_ptr<Proxy_Connection_List>
Proxy_Connection_List_Table::findList(const ProtocolKey& key) {
    LockGuard guard(&waitMutex);
    auto found = lists.find(key);
    return found != lists.end() ? found->second : nullptr;
}
