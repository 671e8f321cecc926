#include "yarllite/ObjectStoreEraser.h"

#include <atomic>

namespace {

std::atomic<ObjectStoreEraser> registeredEraser{nullptr};

} // namespace

void setObjectStoreEraser(ObjectStoreEraser eraser) {
    registeredEraser.store(eraser);
}

void eraseObjectStore() {
    if (const ObjectStoreEraser eraser = registeredEraser.load()) {
        eraser();
    }
}
