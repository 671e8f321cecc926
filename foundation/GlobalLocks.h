// The four process-wide locks. Each is a re-entrant Mutex made at load time
// and never destroyed; take them through LockGuard, the object-model lock
// before the device-access lock wherever both are held.
#pragma once

#include "foundation/Mutex.h"

// The device-access lock, held around request and reply exchanges with a switch.
Mutex* getSwitchRequestMutex();
// The object-model lock: the object store, object creation and deletion,
// zoning objects and the zoning cache tables.
Mutex* getObjectStoreMutex();
// The caller-block registry lock, used inside the registry only.
Mutex* getMemoryRegistryMutex();
// The XML command lock, held for the whole of one XML command.
Mutex* getCommandMutex();
