#include "platform/voskrpc.h"

#include <mutex>

#include "platform/winsock.h"

// libtirpc needs no process-wide set-up: its client handles carry their own
// state. What remains of the start and end calls is the socket library
// reference the runtime holds while the library uses it.

namespace {

std::mutex usersMutex;
int users = 0;

} // namespace

extern "C" int rpc_nt_init(void) {
    std::lock_guard<std::mutex> lock(usersMutex);
    if (users++ == 0)
        WSAStartup(MAKEWORD(1, 1), nullptr);
    return 0;
}

extern "C" int rpc_nt_exit(void) {
    std::lock_guard<std::mutex> lock(usersMutex);
    if (users == 0)
        return -1;
    if (--users == 0)
        WSACleanup();
    return 0;
}

extern "C" int rpc_nt_users(void) {
    std::lock_guard<std::mutex> lock(usersMutex);
    return users;
}
