#include "foundation/GlobalLocks.h"

// Each lock is made on first use (so static initialisers of other files may
// use it) and kept until the process ends: threads still running at exit
// may hold it.
Mutex* getSwitchRequestMutex() {
    static Mutex* const lock = new Mutex("device-access lock", LockRank::DeviceAccess);
    return lock;
}

Mutex* getObjectStoreMutex() {
    static Mutex* const lock = new Mutex("object-model lock", LockRank::ObjectModel);
    return lock;
}

Mutex* getMemoryRegistryMutex() {
    static Mutex* const lock = new Mutex("caller-block registry lock", LockRank::MemoryRegistry);
    return lock;
}

Mutex* getCommandMutex() {
    static Mutex* const lock = new Mutex("XML command lock", LockRank::XmlCommand);
    return lock;
}

namespace {

// All four exist from load time, made in this order.
[[maybe_unused]] const bool madeAtLoad = (getSwitchRequestMutex(), getObjectStoreMutex(),
                                          getMemoryRegistryMutex(), getCommandMutex(), true);

} // namespace
