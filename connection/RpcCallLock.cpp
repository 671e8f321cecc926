#include "connection/RpcCallLock.h"

Mutex& rpcCallMutex() {
    static Mutex* const mutex = new Mutex("rpcCallMutex", LockRank::Rpc);
    return *mutex;
}
