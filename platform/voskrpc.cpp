#include "platform/voskrpc.h"

#include <pthread.h>

#include <cerrno>
#include <ctime>
#include <mutex>

#include "platform/winsock.h"

// libtirpc needs no process-wide set-up: its client handles carry their own
// state. What remains of the start and end calls is the socket library
// reference the runtime holds while the library uses it.

namespace {

std::mutex usersMutex;
int users = 0;

bool sigpipePending() {
    sigset_t pending;
    sigpending(&pending);
    return sigismember(&pending, SIGPIPE) == 1;
}

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

ScopedSigpipeBlock::ScopedSigpipeBlock() {
    sigset_t block;
    sigemptyset(&block);
    sigaddset(&block, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &block, &previous_);
    wasPending_ = sigpipePending();
}

ScopedSigpipeBlock::~ScopedSigpipeBlock() {
    // Take a SIGPIPE raised while blocked, unless one was pending before.
    if (!wasPending_ && sigpipePending()) {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        const timespec now{0, 0};
        int saved = errno;
        while (sigtimedwait(&pipe, nullptr, &now) < 0 && errno == EINTR) {
        }
        errno = saved;
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}
