#include "platform/win32.h"

#include <pthread.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// Every handle points at one of these.
class KernelObject {
public:
    virtual ~KernelObject() = default;
    virtual DWORD wait(DWORD milliseconds) = 0;
};

// Waits on the condition until ready() holds or the time-out has passed.
template <class Ready>
DWORD waitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, DWORD milliseconds,
                Ready ready) {
    if (milliseconds == INFINITE) {
        cv.wait(lock, ready);
        return WAIT_OBJECT_0;
    }
    return cv.wait_for(lock, std::chrono::milliseconds(milliseconds), ready) ? WAIT_OBJECT_0
                                                                             : WAIT_TIMEOUT;
}

// What a thread and its handle share; it outlives whichever ends last.
struct ThreadState {
    std::mutex mutex;
    std::condition_variable changed;
    LPTHREAD_START_ROUTINE start = nullptr;
    LPVOID parameter = nullptr;
    DWORD id = 0;
    bool done = false;
};

class ThreadObject final : public KernelObject {
public:
    explicit ThreadObject(std::shared_ptr<ThreadState> state) : state_(std::move(state)) {}

    DWORD wait(DWORD milliseconds) override {
        std::unique_lock<std::mutex> lock(state_->mutex);
        return waitUntil(state_->changed, lock, milliseconds, [this] { return state_->done; });
    }

private:
    std::shared_ptr<ThreadState> state_;
};

class EventObject final : public KernelObject {
public:
    EventObject(bool manualReset, bool set) : manualReset_(manualReset), set_(set) {}

    DWORD wait(DWORD milliseconds) override {
        std::unique_lock<std::mutex> lock(mutex_);
        DWORD result = waitUntil(changed_, lock, milliseconds, [this] { return set_; });
        if (result == WAIT_OBJECT_0 && !manualReset_)
            set_ = false;
        return result;
    }

    void set() {
        std::lock_guard<std::mutex> lock(mutex_);
        set_ = true;
        if (manualReset_)
            changed_.notify_all();
        else
            changed_.notify_one();
    }

    void reset() {
        std::lock_guard<std::mutex> lock(mutex_);
        set_ = false;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    const bool manualReset_;
    bool set_;
};

class MutexObject final : public KernelObject {
public:
    DWORD wait(DWORD milliseconds) override {
        const DWORD self = GetCurrentThreadId();
        std::unique_lock<std::mutex> lock(mutex_);
        DWORD result = waitUntil(released_, lock, milliseconds,
                                 [this, self] { return owner_ == 0 || owner_ == self; });
        if (result == WAIT_OBJECT_0) {
            owner_ = self;
            ++depth_;
        }
        return result;
    }

    bool release() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (owner_ != GetCurrentThreadId())
            return false;
        if (--depth_ == 0) {
            owner_ = 0;
            released_.notify_one();
        }
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable released_;
    DWORD owner_ = 0; // thread id of the owner, 0 when free
    unsigned depth_ = 0;
};

void* threadEntry(void* argument) {
    std::shared_ptr<ThreadState> state(*static_cast<std::shared_ptr<ThreadState>*>(argument));
    delete static_cast<std::shared_ptr<ThreadState>*>(argument);
    LPTHREAD_START_ROUTINE start;
    LPVOID parameter;
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->id = GetCurrentThreadId();
        start = state->start;
        parameter = state->parameter;
        state->changed.notify_all();
    }
    start(parameter);
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->done = true;
        state->changed.notify_all();
    }
    return nullptr;
}

template <class Object> Object* objectOf(HANDLE handle) {
    return dynamic_cast<Object*>(static_cast<KernelObject*>(handle));
}

} // namespace

HANDLE CreateThread(void* /*threadAttributes*/, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD creationFlags, LPDWORD threadId) {
    if (start == nullptr || (creationFlags & CREATE_SUSPENDED) != 0) {
        errno = EINVAL;
        return nullptr;
    }
    auto state = std::make_shared<ThreadState>();
    state->start = start;
    state->parameter = parameter;
    auto handle = std::make_unique<ThreadObject>(state);

    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0)
        return nullptr;
    // The thread is never joined: its handle waits on the shared state.
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (stackSize != 0)
        pthread_attr_setstacksize(&attributes, stackSize);
    auto* argument = new std::shared_ptr<ThreadState>(state);
    pthread_t thread;
    int error = pthread_create(&thread, &attributes, threadEntry, argument);
    pthread_attr_destroy(&attributes);
    if (error != 0) {
        delete argument;
        errno = error;
        return nullptr;
    }
    // Wait until the thread knows its identifier, so that it can be reported.
    std::unique_lock<std::mutex> lock(state->mutex);
    state->changed.wait(lock, [&] { return state->id != 0; });
    if (threadId != nullptr)
        *threadId = state->id;
    return static_cast<KernelObject*>(handle.release());
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    if (handle == nullptr)
        return WAIT_FAILED;
    return static_cast<KernelObject*>(handle)->wait(milliseconds);
}

HANDLE CreateEventA(void* /*eventAttributes*/, BOOL manualReset, BOOL initialState,
                    LPCSTR /*name*/) {
    return static_cast<KernelObject*>(new EventObject(manualReset != FALSE, initialState != FALSE));
}

BOOL SetEvent(HANDLE event) {
    auto* object = objectOf<EventObject>(event);
    if (object == nullptr)
        return FALSE;
    object->set();
    return TRUE;
}

BOOL ResetEvent(HANDLE event) {
    auto* object = objectOf<EventObject>(event);
    if (object == nullptr)
        return FALSE;
    object->reset();
    return TRUE;
}

HANDLE CreateMutexA(void* /*mutexAttributes*/, BOOL initialOwner, LPCSTR /*name*/) {
    auto* object = new MutexObject;
    if (initialOwner != FALSE)
        object->wait(0);
    return static_cast<KernelObject*>(object);
}

BOOL ReleaseMutex(HANDLE mutex) {
    auto* object = objectOf<MutexObject>(mutex);
    return object != nullptr && object->release() ? TRUE : FALSE;
}

BOOL CloseHandle(HANDLE handle) {
    if (handle == nullptr)
        return FALSE;
    delete static_cast<KernelObject*>(handle);
    return TRUE;
}

void Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD GetCurrentThreadId() {
    thread_local const DWORD id = static_cast<DWORD>(gettid());
    return id;
}

void GetLocalTime(SYSTEMTIME* time) {
    if (time == nullptr)
        return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    time->wSecond = static_cast<WORD>(local.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}
