#include "foundation/CVoskThread.h"

#include "foundation/InternalTiming.h"

namespace {

DWORD milliseconds(std::chrono::milliseconds duration) {
    auto count = duration.count();
    if (count < 0)
        return 0;
    return count >= static_cast<long long>(INFINITE) ? INFINITE - 1 : static_cast<DWORD>(count);
}

} // namespace

CVoskThread::CVoskThread(const char* name) : name_(name != nullptr ? name : "") {}

CVoskThread::~CVoskThread() {
    if (handle_ == nullptr)
        return;
    // A thread that deletes its own object has nothing to wait for.
    if (GetCurrentThreadId() != threadId_ && !waitForEnd(0)) {
        stop();
        waitForEnd(INFINITE);
    }
    CloseHandle(handle_);
}

DWORD CVoskThread::threadEntry(void* argument) {
    if (argument == nullptr)
        return 0;
    auto* self = static_cast<CVoskThread*>(argument);
    // run() starts only once start() has recorded the handle and identifier.
    { std::lock_guard<std::mutex> started(self->startMutex_); }
    // The object may be gone once run() returns: nothing here touches it then.
    self->run();
    return 0;
}

HANDLE CVoskThread::createThread(LPTHREAD_START_ROUTINE entry, void* argument, DWORD* threadId) {
    return CreateThread(nullptr, 0, entry, argument, 0, threadId);
}

int CVoskThread::start() {
    if (isRunning())
        return 0;
    if (handle_ != nullptr) {
        CloseHandle(handle_);
        handle_ = nullptr;
        threadId_ = 0;
    }
    stopRequested_ = false;
    std::lock_guard<std::mutex> starting(startMutex_);
    constexpr int attempts = 3;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        DWORD id = 0;
        HANDLE handle = createThread(&CVoskThread::threadEntry, this, &id);
        if (handle != nullptr) {
            handle_ = handle;
            threadId_ = id;
            return 0;
        }
        if (attempt < attempts)
            Sleep(milliseconds(internalTiming().threadStartRetryPause));
    }
    return -1;
}

bool CVoskThread::waitForEnd(DWORD timeout) {
    return handle_ == nullptr || WaitForSingleObject(handle_, timeout) == WAIT_OBJECT_0;
}

bool CVoskThread::stop() {
    if (handle_ == nullptr)
        return true;
    if (GetCurrentThreadId() == threadId_) {
        // The thread stops itself: it ends when run() returns.
        stopRequested_ = true;
        return false;
    }
    if (waitForEnd(0)) {
        threadId_ = 0;
        return true;
    }
    stopRequested_ = true;
    wake();
    if (!waitForEnd(milliseconds(internalTiming().threadStopBound)))
        return false;
    threadId_ = 0;
    return true;
}

bool CVoskThread::isRunning() const {
    return handle_ != nullptr && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}
