#include "connection/SigpipeBlock.h"

#include <pthread.h>
#include <time.h>

namespace {

sigset_t sigpipeSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    return set;
}

bool sigpipePending() {
    sigset_t pending;
    sigemptyset(&pending);
    return sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
}

} // namespace

SigpipeBlock::SigpipeBlock() {
    const sigset_t set = sigpipeSet();
    pthread_sigmask(SIG_BLOCK, &set, &previousMask_);
    pendingBefore_ = sigpipePending();
}

SigpipeBlock::~SigpipeBlock() {
    if (!pendingBefore_ && sigpipePending()) {
        const sigset_t set = sigpipeSet();
        const timespec noWait{0, 0};
        sigtimedwait(&set, nullptr, &noWait);
    }
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}
