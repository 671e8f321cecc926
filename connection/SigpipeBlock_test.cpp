#include <csignal>
#include <ctime>
#include <pthread.h>

#include <gtest/gtest.h>

#include "connection/SigpipeBlock.h"

namespace {

bool isPending() {
    sigset_t pending;
    sigpending(&pending);
    return sigismember(&pending, SIGPIPE) == 1;
}

bool isBlocked() {
    sigset_t mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &mask);
    return sigismember(&mask, SIGPIPE) == 1;
}

TEST(SigpipeBlock, SignalRaisedInsideIsDiscarded) {
    std::signal(SIGPIPE, SIG_DFL);
    {
        SigpipeBlock block;
        EXPECT_TRUE(isBlocked());
        pthread_kill(pthread_self(), SIGPIPE);
        EXPECT_TRUE(isPending());
    }
    EXPECT_FALSE(isPending());
    EXPECT_FALSE(isBlocked());
}

TEST(SigpipeBlock, SignalPendingBeforeIsKept) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    pthread_kill(pthread_self(), SIGPIPE);
    { SigpipeBlock block; }
    EXPECT_TRUE(isPending());
    EXPECT_TRUE(isBlocked());
    const timespec noWait{0, 0};
    EXPECT_EQ(SIGPIPE, sigtimedwait(&set, nullptr, &noWait));
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

} // namespace
