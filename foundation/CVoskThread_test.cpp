#include "foundation/CVoskThread.h"
#include "foundation/InternalTiming.h"
#include "foundation/WaitEvent.h"

#include <gtest/gtest.h>

#include <sys/socket.h>

#include <atomic>
#include <chrono>

using namespace std::chrono_literals;

namespace {

// Shortens the internal intervals for one test.
class ShortTiming : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = internalTiming();
        internalTiming().threadStartRetryPause = 20ms;
        internalTiming().threadStopBound = 2000ms;
    }
    void TearDown() override { internalTiming() = saved_; }

private:
    InternalTiming saved_;
};

// Blocks on an event until woken.
class EventThread : public CVoskThread {
public:
    EventThread() : CVoskThread("event waiter") { wakeUp_.reset(); }
    ~EventThread() override { stop(); }
    void run() override {
        started.signal();
        while (!stopRequested())
            wakeUp_.wait();
        ended = true;
    }
    WaitEvent started;
    std::atomic<bool> ended{false};

protected:
    void wake() override { wakeUp_.signal(); }

private:
    WaitEvent wakeUp_;
};

// Blocks in a receive on a socket until the socket is shut down.
class SocketThread : public CVoskThread {
public:
    SocketThread() : CVoskThread("socket reader") {
        socketpair(AF_UNIX, SOCK_STREAM, 0, fds_);
        started.reset();
    }
    ~SocketThread() override {
        stop();
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    void run() override {
        started.signal();
        char c;
        while (!stopRequested() && ::recv(fds_[0], &c, 1, 0) > 0) {
        }
    }
    WaitEvent started;

protected:
    void wake() override { ::shutdown(fds_[0], SHUT_RDWR); }

private:
    int fds_[2];
};

// Ignores the stop flag until released.
class StubbornThread : public CVoskThread {
public:
    StubbornThread() : CVoskThread("stubborn") { release.reset(); }
    void run() override { release.wait(); }
    WaitEvent release;
};

// Fails to create its thread a given number of times.
class FlakyStartThread : public CVoskThread {
public:
    explicit FlakyStartThread(int failures) : CVoskThread("flaky"), failures_(failures) {}
    ~FlakyStartThread() override { stop(); }
    void run() override { ran = true; }
    int attempts = 0;
    std::atomic<bool> ran{false};

protected:
    HANDLE createThread(LPTHREAD_START_ROUTINE entry, void* argument, DWORD* id) override {
        if (++attempts <= failures_)
            return nullptr;
        return CVoskThread::createThread(entry, argument, id);
    }

private:
    int failures_;
};

using CVoskThreadTest = ShortTiming;

TEST_F(CVoskThreadTest, StopsAThreadBlockedOnAnEvent) {
    EventThread t;
    ASSERT_EQ(t.start(), 0);
    ASSERT_TRUE(t.started.waitFor(10s));
    EXPECT_TRUE(t.isRunning());
    EXPECT_NE(t.getThreadId(), 0u);
    EXPECT_TRUE(t.stop());
    EXPECT_TRUE(t.ended);
    EXPECT_FALSE(t.isRunning());
    EXPECT_EQ(t.getThreadId(), 0u);
    EXPECT_TRUE(t.terminate()) << "stopping a stopped thread does nothing";
}

TEST_F(CVoskThreadTest, StopsAThreadBlockedOnASocket) {
    SocketThread t;
    ASSERT_EQ(t.start(), 0);
    ASSERT_TRUE(t.started.waitFor(10s));
    EXPECT_TRUE(t.stop());
    EXPECT_FALSE(t.isRunning());
}

TEST_F(CVoskThreadTest, AThreadThatIgnoresStopIsLeftRunningAndReported) {
    internalTiming().threadStopBound = 30ms;
    StubbornThread t;
    ASSERT_EQ(t.start(), 0);
    EXPECT_FALSE(t.stop());
    EXPECT_TRUE(t.isRunning());
    EXPECT_TRUE(t.stopRequested());
    t.release.signal();
    internalTiming().threadStopBound = 10s;
    EXPECT_TRUE(t.stop());
}

TEST_F(CVoskThreadTest, StartRetriesThreeTimes) {
    struct Case {
        int failures;
        int result;
        int attempts;
    } cases[] = {{0, 0, 1}, {2, 0, 3}, {3, -1, 3}};
    for (auto c : cases) {
        FlakyStartThread t(c.failures);
        EXPECT_EQ(t.start(), c.result) << c.failures;
        EXPECT_EQ(t.attempts, c.attempts) << c.failures;
        EXPECT_TRUE(t.stop());
        EXPECT_EQ(t.ran.load(), c.result == 0);
    }
}

TEST_F(CVoskThreadTest, CanStartAgainAfterAStop) {
    EventThread t;
    ASSERT_EQ(t.start(), 0);
    ASSERT_TRUE(t.started.waitFor(10s));
    ASSERT_TRUE(t.stop());
    ASSERT_EQ(t.start(), 0);
    ASSERT_TRUE(t.started.waitFor(10s));
    EXPECT_FALSE(t.stopRequested());
    EXPECT_TRUE(t.stop());
}

// Deletes itself as its last act, as the event listener's thread does.
class SelfDeletingThread : public CVoskThread {
public:
    explicit SelfDeletingThread(WaitEvent* done) : CVoskThread("self"), done_(done) {}
    void run() override {
        WaitEvent* done = done_;
        delete this;
        done->signal();
    }

private:
    WaitEvent* done_;
};

TEST_F(CVoskThreadTest, RunMayDeleteItsOwnObject) {
    WaitEvent done;
    done.reset();
    auto* t = new SelfDeletingThread(&done);
    ASSERT_EQ(t->start(), 0);
    EXPECT_TRUE(done.waitFor(10s));
}

} // namespace
