// The process-wide RPC lock: one client procedure of the management
// protocol runs at a time in the whole process, whichever connection it
// uses, and no reply is released while a call runs.
#pragma once

#include "foundation/Mutex.h"

// Made on first use; it is never destroyed, so that a connection released
// by a static destructor at process exit still finds it.
Mutex& rpcCallMutex();
