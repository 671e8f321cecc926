// Base of every thread the library starts.
//
// A subclass gives the thread's body in run(). Threads are stopped
// cooperatively, never killed: stop() raises the stop flag, which run()'s
// loop tests through stopRequested(), calls wake() so that the subclass can
// unblock a wait (shut a socket down, set an event), and then waits for the
// thread to end, at most internalTiming().threadStopBound.
//
// A thread that has not ended within the bound is left running: stop()
// returns false and isRunning() stays true. The thread still uses its
// object, so the owner must not free it or anything run() uses; the
// destructor of a thread object waits for a thread still running, without
// limit, rather than free memory under it. A subclass whose run() reads its
// own members stops the thread in its own destructor, since those members are
// gone by the time this base destructor runs. run() may delete its own object
// as its last act.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "foundation/Mutex.h"
#include "platform/win32.h"

class CVoskThread {
public:
    explicit CVoskThread(const char* name);
    virtual ~CVoskThread();

    CVoskThread(const CVoskThread&) = delete;
    CVoskThread& operator=(const CVoskThread&) = delete;

    // The thread's body.
    virtual void run() = 0;

    // Starts the thread: up to three attempts, internalTiming()
    // .threadStartRetryPause apart. 0 when it runs (also when it already
    // ran), -1 when no attempt succeeded.
    int start();
    // Stops the thread as described above: true when no thread runs any more.
    bool stop();
    // The same as stop(); the name the library's owners call.
    bool terminate() { return stop(); }

    bool isRunning() const;
    bool stopRequested() const { return stopRequested_.load(); }
    DWORD getThreadId() const { return threadId_; }
    const std::string& getName() const { return name_; }

protected:
    // Unblocks what run() waits on; called by stop() after the stop flag is
    // raised. The default does nothing.
    virtual void wake() {}
    // Creates the system thread; a seam for tests.
    virtual HANDLE createThread(LPTHREAD_START_ROUTINE entry, void* argument, DWORD* threadId);

    // A lock of the thread object's own, for subclasses.
    Mutex& getMutex() { return mutex_; }

private:
    static DWORD threadEntry(void* argument);
    bool waitForEnd(DWORD milliseconds);

    std::string name_;
    std::atomic<bool> stopRequested_{false};
    DWORD threadId_ = 0;      // 0 while no thread runs
    HANDLE handle_ = nullptr; // signalled once the thread has ended
    Mutex mutex_;
    std::mutex startMutex_; // held by start() until the thread is recorded
};
