// Reading the object tree from code that the request layer calls back
// (after a failed request, or to choose a zoning level), which may run
// while its caller holds the device-access lock.
#pragma once

#include "foundation/GlobalLocks.h"

// Runs `read` under the object-model lock when the calling thread may take
// it in the lock order. A thread that holds the device-access lock without
// the object-model lock may not wait for it: it only tries the lock, and
// returns false without running `read` when another thread holds it.
template <class Read> bool readObjectTree(Read&& read) {
    Mutex* model = getObjectStoreMutex();
    const bool mayWait = model->isHeldByCaller() || !getSwitchRequestMutex()->isHeldByCaller();
    if (mayWait) {
        model->lock();
    } else if (model->tryLock() != 0) {
        return false;
    }
    try {
        read();
    } catch (...) {
        model->unlock();
        throw;
    }
    model->unlock();
    return true;
}
